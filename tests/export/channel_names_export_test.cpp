#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <vector>

#include "export/csv_field.h"
#include "export/export_job.h"

namespace {

TEST(CsvField, QuotedOnlyWhereAReaderWouldSplitOrTrim) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"41", "41"},
        {"Out Of Paper", "Out Of Paper"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" lead", "\" lead\""},
        {"trail ", "\"trail \""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(csvField(c.text), c.field) << c.text;
    }
}

TEST(ExportChannelName, CharactersThatEndANameBecomeUnderscores) {
    const struct {
        const char* name;
        const char* exported;
    } cases[] = {
        {"Out Of Paper", "Out_Of_Paper"},
        {"CLK", "CLK"},
        {"a,b", "a_b"},
        {"x=1", "x_1"},
        {"[0]", "_0_"},
        {"say\"", "say_"},
        {"tab\there", "tab_here"},
        {"$end", "_end"},
        {"", "_"},
        {"Größe", "Größe"},  // UTF-8 stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exportChannelName(c.name), c.exported) << c.name;
    }
}

// The names a user gave reach every format's header.
class NamedChannelsExport : public ::testing::Test {
protected:
    std::string written(ExportFormat format) {
        ExportJob job;
        EXPECT_EQ(periodExportJob(format, 1e-6, 3, job), "");
        job.names = {"TX", "RX line", "CS,1", "SCK", "Busy"};
        std::string text;
        TextOutput out([&text](std::string_view piece) {
            text.append(piece);
            return true;
        });
        std::string problem;
        EXPECT_TRUE(writeExport(job, samples_.data(), 3, out, problem)) << problem;
        EXPECT_TRUE(out.finish());
        return text;
    }
    const std::vector<uint8_t> samples_{0x08, 0x10, 0x18};
};

TEST_F(NamedChannelsExport, VcdWiresCsvHeaderAndSessionProbes) {
    const std::string vcd = written(ExportFormat::Vcd);
    for (const char* wire : {" TX $end", " RX_line $end", " CS_1 $end", " SCK $end"}) {
        EXPECT_NE(vcd.find(wire), std::string::npos) << wire << "\n" << vcd;
    }
    const std::string csv = written(ExportFormat::Csv);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "sample,seconds,TX,RX line,\"CS,1\",SCK,Busy");

    const std::string bytes = written(ExportFormat::Sigrok);
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &zipError);
    ASSERT_NE(archive, nullptr);
    zip_file_t* file = zip_fopen(archive, "metadata", 0);
    ASSERT_NE(file, nullptr);
    std::string metadata(4096, '\0');
    metadata.resize(static_cast<size_t>(zip_fread(file, metadata.data(), metadata.size())));
    zip_fclose(file);
    zip_close(archive);
    EXPECT_NE(metadata.find("probe2=RX_line\nprobe3=CS_1\n"), std::string::npos) << metadata;
}

}  // namespace
