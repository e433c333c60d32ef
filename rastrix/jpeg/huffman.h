// Huffman tables: the decoding arrays of ITU-T T.81 F.2.2.3 plus a
// lookahead table for short codes.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_tables.h"

namespace rx::jpeg {

// Builds table from BITS (16 counts) and HUFFVAL (their sum of symbols).
// False for more than 256 symbols, over-subscribed code lengths, or a DC
// table with a symbol above 15; the table is then left unchanged.
bool build_huffman_table(HuffmanTable& table, const uint8_t counts[kMaxCodeLength],
                         const uint8_t* symbols, bool dc);

}  // namespace rx::jpeg
