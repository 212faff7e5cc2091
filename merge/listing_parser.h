#ifndef PAIREX_MERGE_LISTING_PARSER_H
#define PAIREX_MERGE_LISTING_PARSER_H

#include <cstdint>

#include "common/textio.h"
#include "merge/document.h"

// Turns the engine's normal-format listing into the four parallel block tables.

// The tables of one parsed listing, each ended by an end marker.
struct BlockTables {
    BlockTable left_own;
    BlockTable left_filler;
    BlockTable right_own;
    BlockTable right_filler;
};

enum ListingResult { LISTING_BLOCKS, LISTING_IDENTICAL, LISTING_FAILED };

// Reads the listing to its end. LISTING_BLOCKS: `out` holds one entry per command line
// (possibly none). LISTING_IDENTICAL: the engine's identical-files line was met; `out`
// is empty. LISTING_FAILED: memory or a read failed, already reported, or the user
// stopped the reading (a progress step, common/progress.h), and `out` is empty.
ListingResult parse_listing(TextLineReader& listing, BlockTables& out);

// Fills `k`'s entries of all four tables from one command line (first character a
// digit). Returns false when the line has no command letter (it is then ignored).
bool fill_block_entries(const char* line, DiffBlock& left_own, DiffBlock& left_filler,
                        DiffBlock& right_own, DiffBlock& right_filler);

// Makes the tables the document's block tables, replacing any old ones.
void install_tables(BlockTables&& tables);

#endif
