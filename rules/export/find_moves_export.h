#pragma once
// FindMoves as the program exports it by name, with C linkage, for the main window's variant.
// board: 50 signed bytes, squares 1..50; moves: room for 255 records of 48 bytes (12,240 bytes);
// count: receives the number of records written (at most 255).
// Returns the number of legal moves (more than *count when the array was too small), or -1 with
// *count = 0 for bad arguments. Re-entrant.

#ifdef __cplusplus
extern "C" {
#endif
int FindMoves(const signed char* board, int side, unsigned char* moves, unsigned char* count);
#ifdef __cplusplus
}
#endif
