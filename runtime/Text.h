// Bounded text on NUL-terminated 8-bit ANSI buffers.
//
// The deliverables link no C library, so these stand in for strcpy, strcmp,
// atoi, the "%d"/"%s" conversions of sprintf and sscanf. Every function that
// writes takes the destination's capacity in bytes (NUL included), never
// writes past it, and always leaves the destination terminated; a text that
// does not fit is cut.
#pragma once

// Copies source into destination, cut to capacity - 1 characters.
void TextCopy(char* destination, int capacity, const char* source);

// Appends source to the text already in destination, cut to fit.
void TextAppend(char* destination, int capacity, const char* source);

// Appends the decimal form of value ("%d").
void TextAppendInt(char* destination, int capacity, int value);

// destination := the decimal form of value ("%d").
void IntToText(char* destination, int capacity, int value);

int TextLength(const char* text);

// Exact, case-sensitive byte comparison.
bool TextEqual(const char* a, const char* b);

// atoi: leading white space, optional sign, decimal digits up to the first
// other character; 0 when there are none.
int TextToInt(const char* text);

// sscanf "%s": skips white space, then takes the run of other characters.
// The token is cut to capacity - 1 characters but the whole run is consumed.
// Returns the position after the run, or 0 when only white space was left.
const char* ScanToken(const char* text, char* token, int capacity);

// sscanf "%d": skips white space, optional sign, decimal digits. Returns the
// position after the number, or 0 when no number stands there (value is
// then left as it was).
const char* ScanInt(const char* text, int* value);

// Makes a buffer that received `length` raw bytes a text: terminated at the
// first NUL, or at length, or at capacity - 1, whichever comes first.
void TerminateText(char* buffer, int capacity, unsigned long length);
