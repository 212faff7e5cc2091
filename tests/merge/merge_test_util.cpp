#include "tests/merge/merge_test_util.h"

#include <cstdlib>
#include <filesystem>

#include "common/fresh_pages.h"
#include "common/textio.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/comparison.h"
#include "merge/listing_parser.h"
#include "merge/output.h"

void MergeTest::SetUp() {
    merge_document = MergeDocument{};
    reset_fake_platform();
    clear_reported_messages();
    merge_simulated_memory_limit = 0;
    directory_target_path[0] = '\0';
    dir_walk_copy_identical = nullptr;
    comparison_engine = engine_run;
}

void MergeTest::TearDown() {
    end_read_ahead();
    bring_in_pages = nullptr;
    comparison_engine = engine_run;
    merge_document = MergeDocument{};
    merge_simulated_memory_limit = 0;
}

std::string MergeTest::load(Side side, const std::string& name, const std::string& bytes) {
    const std::string path = dir.write(name, bytes);
    EXPECT_EQ(load_side(path.c_str(), side), 0);
    return path;
}

void MergeTest::install_listing(const std::string& listing) {
    const std::string path = dir.write("listing.txt", listing);
    TextLineReader reader;
    ASSERT_EQ(reader.open(path.c_str()), 0);
    BlockTables tables;
    ASSERT_EQ(parse_listing(reader, tables), LISTING_BLOCKS);
    install_tables(std::move(tables));
    merge_document.not_compared = 0;
}

std::string MergeTest::merged_text() {
    const std::string out = dir.file("merged-out.txt");
    std::remove(out.c_str());
    if (write_merged(out.c_str()) != 0) {
        return NOT_WRITTEN;
    }
    return read_bytes(out);
}

std::string with_line_ends(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) {
        s += l + LINE_END;
    }
    return s;
}

std::string lf_lines(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) {
        s += l + "\n";
    }
    return s;
}

std::vector<std::string> message_texts() {
    std::vector<std::string> texts;
    for (const ReportedMessage& m : reported_messages()) {
        texts.push_back(m.text);
    }
    return texts;
}

void set_env(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

void unset_env(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    old_ = had_ ? old : "";
    set_env(name, value.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (had_) {
        set_env(name_.c_str(), old_.c_str());
    } else {
        unset_env(name_.c_str());
    }
}

void OwnTmpMergeTest::SetUp() {
    MergeTest::SetUp();
    std::filesystem::create_directory(dir.file("tmp"));
    tmp = std::make_unique<ScopedEnv>("TMP", dir.file("tmp"));
}

void OwnTmpMergeTest::TearDown() {
    tmp.reset();
    MergeTest::TearDown();
}

void ThreeBlocks::SetUp() {
    MergeTest::SetUp();
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c", "d", "e", "f", "g"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "X", "d", "e", "Y", "Z", "f"}));
    install_listing("2,3c2\n< b\n< c\n---\n> X\n5a5,6\n> Y\n> Z\n7d7\n< g\n");
    compute_total_rows();
}
