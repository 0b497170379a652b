#pragma once
// The built-in engine's evaluation and search as the program exports them by name, with C linkage,
// for the main window's variant, on the program's built-in engine (BuiltinEngine(): its hash table
// and the shell's stop word).
// board: 50 signed bytes, squares 1..50 (an 8x8 variant reads 1..32).
// Bad arguments (a null board, a side other than 0 or 1, a square value outside -2..2, for
// analysis a ply below 1, a ply or depth of MaxSearchPly or more, or a window bound outside
// -32767..32767) give EngineBadArguments, a value no
// score takes. Engine thread only.

#ifdef __cplusplus
extern "C" {
#endif
enum { EngineBadArguments = -32768 };
short count(int side, const signed char* board, int ply, int countFlag);
short analysis(const signed char* board, int alpha, int beta, int ply, int depth, int side, int countFlag);
#ifdef __cplusplus
}
#endif
