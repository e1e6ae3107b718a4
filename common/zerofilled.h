// ZERO_FILLED: puts a zero-filled static variable in uninitialized data
// (.bss), which takes no room in the program file.
//
// The programs are compiled with -fdata-sections, so that the linker drops
// every variable nothing uses. MinGW's GCC then gives each writable variable
// a ".data$name" section, zero-filled ones included, and the linker stores
// those zeros in the file: a 10 KB path table is 10 KB of the download.
// This names a ".bss$" section instead, one per variable so that the linker
// can still drop it, and hands the assembler the section's flags itself:
// "b" (uninitialized) and "w" (writable); the '#' turns the flags GCC
// appends into a comment. The linker merges ".bss$..." into .bss.
//
// Use it on the definition of a variable that starts zero-filled (no
// initializer, or an all-zero one): ZERO_FILLED static char buffer[260];
#ifndef ZEROFILLED_H
#define ZEROFILLED_H

#define ZERO_FILLED_TEXT(x) #x
#define ZERO_FILLED_NAME(x) ZERO_FILLED_TEXT(x)
#define ZERO_FILLED __attribute__((section(".bss$zf" ZERO_FILLED_NAME(__COUNTER__) ",\"bw\"#")))

#endif
