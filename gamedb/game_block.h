#pragma once
// The game block of the move file: start position, every node slot with its flags, marks,
// comments, parent and squares (two-byte values big-endian). Also the header flags derived
// from a game. Re-entrant: the caller owns the buffer.

#include "gamedb/move_bytes.h"
#include "rules/game.h"

#include <cstddef>
#include <cstdint>

constexpr std::size_t MaxCommentLength = 65535;

// Keys of the two standard start positions.
const TPositionKey& StandardKey64();
const TPositionKey& StandardKey100();
// The standard key of a variant (10x10 for variant 6).
const TPositionKey& StandardKeyOf(TGameType variant);

// Appends the block of `g` to `mb` (nodes 1..node count). Comments longer than 65,535
// characters are cut to that length. The game must have a node count of at most 1,024 and
// at most 20 captures per node (see CheckGameForStore).
void EncodeGameMoves(const TGame& g, TMoveBytes& mb);

// False when the game cannot be stored: variant outside 1..7, node count above 1,024, a node
// with more than 20 captures, or anything DecodeGameMoves would call damaged (a start key not
// valid for the board, a move in use off the board or below a parent past the node count, a
// parent cycle).
bool CheckGameForStore(const TGame& g);

enum class TDecodeResult { Ok, Damaged };

// Reads a block from the read position of `mb` into `g`, for the variant and node count that
// g's header already holds. Every count, square, parent link and key byte is checked: a
// damaged block gives Damaged, and g is left with node count 0 and every slot cleared.
TDecodeResult DecodeGameMoves(TMoveBytes& mb, TGame& g);

// The flags byte that a write stores: the deleted bit of g.header.flags kept, the set-up,
// comment and variation bits recomputed.
std::uint8_t ComputeGameFlags(const TGame& g);
