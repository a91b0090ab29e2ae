#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <string>

// Every file of a zip in memory, by name.
inline std::map<std::string, std::string> unzip(const std::string& bytes) {
    std::map<std::string, std::string> files;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) {
        ADD_FAILURE() << "not a zip: " << zip_error_strerror(&error);
        zip_source_free(source);
        return files;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, i, 0, &stat);
        std::string contents(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, i, 0);
        EXPECT_EQ(zip_fread(file, contents.data(), stat.size), static_cast<zip_int64_t>(stat.size));
        zip_fclose(file);
        files[stat.name] = contents;
    }
    zip_close(archive);
    return files;
}
