#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

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

using Files = std::vector<std::pair<std::string, std::string>>;

// A zip of `files`, deflated as sigrok writes its sessions.
inline std::string zipOf(const Files& files) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    for (const auto& [name, contents] : files) {
        zip_source_t* source = zip_source_buffer(archive, contents.data(), contents.size(), 0);
        EXPECT_GE(zip_file_add(archive, name.c_str(), source, 0), 0);
    }
    zip_source_keep(memory);
    EXPECT_EQ(zip_close(archive), 0);
    zip_stat_t stat;
    zip_source_stat(memory, &stat);
    std::string bytes(stat.size, '\0');
    zip_source_open(memory);
    zip_source_read(memory, bytes.data(), stat.size);
    zip_source_close(memory);
    zip_source_free(memory);
    return bytes;
}

// The metadata sigrok writes for a logic device with these probes.
inline std::string metadataOf(const std::vector<std::string>& probes, const std::string& rate) {
    std::string text = "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\n";
    text += "total probes=" + std::to_string(probes.size()) + "\nsamplerate=" + rate + "\n";
    for (size_t i = 0; i < probes.size(); ++i) {
        text += "probe" + std::to_string(i + 1) + "=" + probes[i] + "\n";
    }
    return text + "unitsize=1\n";
}
