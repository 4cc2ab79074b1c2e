#include "runtime/Text.h"

static bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int TextLength(const char* text)
{
    int length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

void TextCopy(char* destination, int capacity, const char* source)
{
    if (capacity <= 0)
        return;
    int i = 0;
    for (; i < capacity - 1 && source[i] != '\0'; ++i)
        destination[i] = source[i];
    destination[i] = '\0';
}

void TextAppend(char* destination, int capacity, const char* source)
{
    if (capacity <= 0)
        return;
    int length = 0;
    while (length < capacity - 1 && destination[length] != '\0')
        ++length;
    TextCopy(destination + length, capacity - length, source);
}

void IntToText(char* destination, int capacity, int value)
{
    char digits[12];
    int count = 0;
    // Work on the negative side so that the smallest int needs no special case.
    int rest = value < 0 ? value : -value;
    do {
        digits[count++] = (char)('0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    char text[13];
    int length = 0;
    if (value < 0)
        text[length++] = '-';
    while (count > 0)
        text[length++] = digits[--count];
    text[length] = '\0';
    TextCopy(destination, capacity, text);
}

void TextAppendInt(char* destination, int capacity, int value)
{
    char text[12];
    IntToText(text, sizeof text, value);
    TextAppend(destination, capacity, text);
}

bool TextEqual(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// Reads an optional sign and the digits after it; returns 0 when no digit follows.
static const char* ParseSignedDigits(const char* text, int* value)
{
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    if (!IsDigit(*text))
        return 0;
    unsigned int magnitude = 0;
    while (IsDigit(*text)) {
        magnitude = magnitude * 10u + (unsigned int)(*text - '0');
        ++text;
    }
    *value = negative ? (int)(0u - magnitude) : (int)magnitude;
    return text;
}

int TextToInt(const char* text)
{
    while (IsSpace(*text))
        ++text;
    int value = 0;
    ParseSignedDigits(text, &value);
    return value;
}

const char* ScanInt(const char* text, int* value)
{
    while (IsSpace(*text))
        ++text;
    return ParseSignedDigits(text, value);
}

const char* ScanToken(const char* text, char* token, int capacity)
{
    while (IsSpace(*text))
        ++text;
    if (*text == '\0')
        return 0;
    int length = 0;
    while (*text != '\0' && !IsSpace(*text)) {
        if (length < capacity - 1)
            token[length++] = *text;
        ++text;
    }
    if (capacity > 0)
        token[length] = '\0';
    return text;
}

void TerminateText(char* buffer, int capacity, unsigned long length)
{
    if (capacity <= 0)
        return;
    unsigned long end = length < (unsigned long)(capacity - 1) ? length : (unsigned long)(capacity - 1);
    for (unsigned long i = 0; i < end; ++i) {
        if (buffer[i] == '\0')
            return;
    }
    buffer[end] = '\0';
}
