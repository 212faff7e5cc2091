// Arbitrary bytes as the engine's listing file: parsing, and every walk over the
// tables it yields, must stay within bounds whatever the numbers say.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "common/textio.h"
#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/document.h"
#include "merge/listing_parser.h"
#include "merge/realign.h"
#include "merge/output.h"

namespace {

std::string listing_path() {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("listing_fuzz_" + std::to_string(static_cast<long>(getpid())) + ".txt"))
            .string();
    return path;
}

// A small document whose texts the listing's numbers may or may not fit.
void load_texts(MergeSide& side, const char* const* texts, int count) {
    std::size_t size = 0;
    for (int i = 0; i < count; ++i) {
        size += std::strlen(texts[i]) + 1;
    }
    side.text.reset(new char[size + 2]);
    side.lines.clear();
    char* p = side.text.get();
    for (int i = 0; i < count; ++i) {
        std::strcpy(p, texts[i]);
        side.lines.push_back(p);
        p += std::strlen(texts[i]) + 1;
    }
    side.text_end = count > 0 ? p - 1 : p;  // the last line's NUL
    side.line_count = count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) {
        return 0;
    }
    {
        FILE* f = std::fopen(listing_path().c_str(), "wb");
        if (f == nullptr) {
            return 0;
        }
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    TextLineReader reader;
    if (reader.open(listing_path().c_str()) != 0) {
        return 0;
    }
    BlockTables tables;
    const ListingResult result = parse_listing(reader, tables);
    reader.close();
    if (result != LISTING_BLOCKS) {
        return 0;
    }
    static const char* const left[] = {"a", "", "b", " ", "c", "d"};
    static const char* const right[] = {"a", "x", "", "b", "\t"};
    merge_document = MergeDocument{};
    load_texts(merge_document.left, left, 6);
    load_texts(merge_document.right, right, 5);
    install_tables(std::move(tables));
    merge_document.not_compared = 0;

    if (block_count() < 2000) {
        realign_blank_lines();
    }
    compute_total_rows();
    for (int32_t row = -1; row < 12; ++row) {
        for (const MergeSide* s : {&merge_document.left, &merge_document.right}) {
            const int32_t line = row_to_line(*s, row);
            find_block_at(*s, row, KIND_FILLER_ROW);
            find_block_at(*s, line, KIND_OWN_LINE);
        }
        choose_by_click(row % 2 ? SIDE_LEFT : SIDE_RIGHT, row * 16);
    }
    go_first();
    go_next();
    go_last();
    go_prev();
    go_end();
    choose_all_from(SIDE_LEFT);
    choose_all_from(SIDE_RIGHT);
    emit_merged_lines(nullptr);
    merge_document = MergeDocument{};
    return 0;
}
