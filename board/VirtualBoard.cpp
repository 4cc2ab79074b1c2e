#include "board/VirtualBoard.h"
#include "board/RasterGeometry.h"
#include "runtime/Text.h"

namespace {

const DWORD BoardSignature = 0x34535642;   // "BVS4": the layout with the chips and the write log
const char BoardFileName[] = "\\VirtualS3.bin";
const char BoardMutexName[] = "GlimoraVirtualS3Board";
const char DisplaySettingsPath[] = "Config\\0001\\Display\\Settings";
const LONG VideoMemoryBytes = 4L * 1024 * 1024;

// Miscellaneous output register: colour addresses, RAM on, odd/even page 1;
// bits 3:2 select the clock, bits 6 and 7 make the syncs negative.
enum {
    MiscBase = 0x23,
    ClockSelectMask = 0x0C, Vga25MHz = 0x00, Vga28MHz = 0x04, ProgrammableClock = 0x0C,
    SyncsPositive = 0x00, SyncsNegative = 0xC0
};

// One row of the standard timings (VESA DMT). The vertical registers are the
// same at every depth; the horizontal ones depend on the horizontal factor.
struct StandardTiming {
    int width, height, refresh;
    LONG pixelClock;  // kHz
    BYTE syncs;       // polarity bits of the miscellaneous output register
    BYTE cr06, cr07, cr10, cr11, cr12, cr5e;
    BYTE single[5];   // CR00 CR01 CR04 CR05[4:0] CR5D at 8 and 32 bits per pixel
    BYTE twice[5];    // the same at 15 and 16 bits per pixel
};

const StandardTiming StandardTimings[] = {
    { 640, 480, 60,  25175, SyncsNegative, 0x0B, 0x3E, 0xEA, 0x2C, 0xDF, 0x40, {0x5F,0x4F,0x52,0x1E,0x00}, {0xC3,0x9F,0xA4,0x1C,0x00} },
    { 640, 480, 72,  31500, SyncsNegative, 0x06, 0x3E, 0xE9, 0x2C, 0xDF, 0x40, {0x63,0x4F,0x53,0x18,0x00}, {0xCB,0x9F,0xA6,0x10,0x00} },
    { 640, 480, 75,  31500, SyncsNegative, 0xF2, 0x1F, 0xE1, 0x24, 0xDF, 0x40, {0x64,0x4F,0x52,0x1A,0x00}, {0xCD,0x9F,0xA4,0x14,0x00} },
    { 640, 480, 85,  36000, SyncsNegative, 0xFB, 0x1F, 0xE1, 0x24, 0xDF, 0x40, {0x63,0x4F,0x57,0x1E,0x00}, {0xCB,0x9F,0xAE,0x1C,0x00} },
    { 800, 600, 56,  36000, SyncsPositive, 0x6F, 0xF0, 0x59, 0x2B, 0x57, 0x40, {0x7B,0x63,0x67,0x10,0x00}, {0xFB,0xC7,0xCE,0x00,0x00} },
    { 800, 600, 60,  40000, SyncsPositive, 0x72, 0xF0, 0x59, 0x2D, 0x57, 0x40, {0x7F,0x63,0x69,0x19,0x00}, {0x03,0xC7,0xD2,0x12,0x01} },
    { 800, 600, 72,  50000, SyncsPositive, 0x98, 0xF0, 0x7D, 0x23, 0x57, 0x40, {0x7D,0x63,0x6B,0x1A,0x00}, {0xFF,0xC7,0xD6,0x14,0x00} },
    { 800, 600, 75,  49500, SyncsPositive, 0x6F, 0xF0, 0x59, 0x2C, 0x57, 0x40, {0x7F,0x63,0x66,0x10,0x00}, {0x03,0xC7,0xCC,0x00,0x01} },
    { 800, 600, 85,  56250, SyncsPositive, 0x75, 0xF0, 0x59, 0x2C, 0x57, 0x40, {0x7E,0x63,0x68,0x10,0x00}, {0x01,0xC7,0xD0,0x00,0x01} },
    { 1024, 768, 60,  65000, SyncsNegative, 0x24, 0xF5, 0x03, 0x29, 0xFF, 0x40, {0xA3,0x7F,0x83,0x14,0x00}, {0x4B,0xFF,0x06,0x08,0x75} },
    { 1024, 768, 70,  75000, SyncsNegative, 0x24, 0xF5, 0x03, 0x29, 0xFF, 0x40, {0xA1,0x7F,0x83,0x14,0x00}, {0x47,0xFF,0x06,0x08,0x75} },
    { 1024, 768, 75,  78750, SyncsPositive, 0x1E, 0xF5, 0x01, 0x24, 0xFF, 0x40, {0x9F,0x7F,0x82,0x0E,0x00}, {0x43,0xFF,0x04,0x1C,0x55} },
    { 1024, 768, 85,  94500, SyncsPositive, 0x26, 0xF5, 0x01, 0x24, 0xFF, 0x40, {0xA7,0x7F,0x86,0x12,0x00}, {0x53,0xFF,0x0C,0x04,0x55} },
    { 1280, 1024, 60, 108000, SyncsPositive, 0x28, 0x5A, 0x01, 0x24, 0xFF, 0x55, {0xCE,0x9F,0xA6,0x14,0x00}, {0xA1,0x3F,0x4C,0x08,0x57} },
    { 1280, 1024, 75, 135000, SyncsPositive, 0x28, 0x5A, 0x01, 0x24, 0xFF, 0x55, {0xCE,0x9F,0xA2,0x14,0x00}, {0xA1,0x3F,0x44,0x08,0x77} },
};

// BIOS mode 12h, the 16-colour 640x480 mode: index and value pairs.
const BYTE Mode12Registers[][2] = {
    {0x00,0x5F}, {0x01,0x4F}, {0x02,0x50}, {0x03,0x82}, {0x04,0x54}, {0x05,0x80},
    {0x06,0x0B}, {0x07,0x3E}, {0x10,0xEA}, {0x11,0x8C}, {0x12,0xDF}, {0x15,0xE7},
    {0x16,0x04}, {0x17,0xE3},
};

// What sets the chips apart at the ports.
struct ChipModel {
    const char* name;
    BYTE indexMask;     // the index bits the chip latches
    bool s3;            // the S3 locks, the read lock of CR30 and the identity registers
};

const ChipModel Chips[VirtualChipCount] = {
    { "trio64", 0x7F, true },
    { "tgui9440", 0xFF, false },
    { "sixbit", 0x3F, false },
};

enum {
    S3Lock1 = 0x38, S3Lock2 = 0x39, S3ChipId = 0x30,
    HOverflow = 0x5D, VOverflow = 0x5E,
    TguiPixelBus = 0x38, TguiPciRegister = 0x39, TguiMemoryMappedIo = 0x01,
    SixBitStartRegister = 0x1D, SixBitInterlaceRegister = 0x1E
};

// The Trio64's identity registers CR2D, CR2E, CR2F and CR30: its PCI device
// 8811h, revision 0, chip E1h. Read only.
const BYTE Trio64Identity[][2] = { {0x2D, 0x88}, {0x2E, 0x11}, {0x2F, 0x00}, {0x30, 0xE1} };

VirtualBoardState* Board;
HANDLE BoardMutex;
VirtualPortWatcher PortWatcher;

const ChipModel& ChipOf(const VirtualBoardState& b)
{
    return Chips[b.chip >= 0 && b.chip < VirtualChipCount ? b.chip : (LONG)VirtualTrio64];
}

const StandardTiming* FindTiming(int width, int height, int refresh)
{
    for (unsigned i = 0; i < sizeof StandardTimings / sizeof StandardTimings[0]; ++i) {
        const StandardTiming& t = StandardTimings[i];
        if (t.width == width && t.height == height && t.refresh == refresh)
            return &t;
    }
    return 0;
}

int EffectiveRefresh(int refresh)
{
    return refresh <= 1 ? 60 : refresh;
}

// The TGUI's pixel bus for a depth, as its driver sets it: 8 bits (and the
// VGA's planes) 00h, 15 and 16 bits 04h, packed 24 bits 29h, 32 bits 09h.
BYTE TguiPixelBusOf(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 15: case 16: return 0x04;
    case 24: return 0x29;
    case 32: return 0x09;
    }
    return 0x00;
}

bool S3LockOpen(const VirtualBoardState& b)
{
    return (b.crtc[S3Lock1] & 0xCC) == 0x48;
}

bool S3SystemLockOpen(const VirtualBoardState& b)
{
    return (b.crtc[S3Lock2] & 0xE0) == 0xA0;
}

bool RegisterWritable(const VirtualBoardState& b, BYTE index)
{
    if (index <= 0x06)
        return (b.crtc[0x11] & 0x80) == 0;
    if (!ChipOf(b).s3)
        return true;
    if (index >= 0x2D && index <= S3ChipId)
        return false;
    if (index >= 0x20 && index <= 0x3F && index != 0x36 && index != S3Lock1 && index != S3Lock2)
        return S3LockOpen(b);
    if (index >= 0x40)
        return S3SystemLockOpen(b);
    return true;
}

void StoreRegister(VirtualBoardState& b, BYTE index, BYTE value)
{
    if (index == 0x07 && (b.crtc[0x11] & 0x80) != 0) {
        // Protected CR07 still takes the line compare bit 8.
        b.crtc[0x07] = (BYTE)((b.crtc[0x07] & ~0x10) | (value & 0x10));
        return;
    }
    if (RegisterWritable(b, index))
        b.crtc[index] = value;
}

// A locked S3 answers FFh for its chip identity, as public emulators model it.
BYTE LoadRegister(const VirtualBoardState& b, BYTE index)
{
    if (ChipOf(b).s3 && index == S3ChipId && !S3LockOpen(b) && !S3SystemLockOpen(b))
        return 0xFF;
    return b.crtc[index];
}

// The blanking a driver programs around a standard timing: horizontally from
// the end of the display to one character short of the total, the end
// compared on seven bits with CR5D bit 3 as its bit 6 where the blanking is
// wider than 63 characters (1024x768 at 15 and 16 bits per pixel);
// vertically from the first line after the display (CR15 holds the line
// before it) to one line short of the total.
void ProgramBlanking(BYTE* r, int bitsPerPixel, const StandardTiming& t, const BYTE* h)
{
    int hDisplay = t.width * DotClocksPerPixel(bitsPerPixel) / 8;
    int hTotal = (h[0] | (h[4] & 0x01) << 8) + 5;
    int hEnd = hTotal - 1;
    int hEndBit6 = hEnd - hDisplay > 63 ? (hEnd >> 6 & 1) : 0;
    r[0x02] = (BYTE)hDisplay;
    r[0x03] = (BYTE)(0x80 | (hEnd & 0x1F));
    r[0x05] = (BYTE)(r[0x05] | (hEnd & 0x20) << 2);
    r[HOverflow] = (BYTE)((r[HOverflow] & ~0x0C) | (hDisplay >> 8 & 1) << 2 | hEndBit6 << 3);

    int lastDisplayed = t.height - 1;
    int vTotal = (t.cr06 | (t.cr07 & 0x01) << 8 | (t.cr07 & 0x20) << 4 | (t.cr5e & 0x01) << 10) + 2;
    r[0x15] = (BYTE)lastDisplayed;
    r[0x16] = (BYTE)(vTotal - 1);
    r[0x07] = (BYTE)((r[0x07] & ~0x08) | (lastDisplayed >> 8 & 1) << 3);
    r[0x09] = (BYTE)((r[0x09] & ~0x20) | (lastDisplayed >> 9 & 1) << 5);
    r[VOverflow] = (BYTE)((r[VOverflow] & ~0x04) | (lastDisplayed >> 10 & 1) << 2);
}

// The timing registers in the S3 layout, as the BIOS (mode 12h) or the
// display driver programs them; returns the miscellaneous output register.
BYTE ProgramTiming(BYTE* r, int width, int height, int bitsPerPixel, int refresh)
{
    for (int i = 0; i < VirtualRegisterCount; ++i)
        r[i] = 0;
    if (bitsPerPixel == 4) {
        for (unsigned i = 0; i < sizeof Mode12Registers / sizeof Mode12Registers[0]; ++i)
            r[Mode12Registers[i][0]] = Mode12Registers[i][1];
        return MiscBase | Vga25MHz | SyncsNegative;
    }
    const StandardTiming* t = FindTiming(width, height, refresh);
    const BYTE* h = (bitsPerPixel == 15 || bitsPerPixel == 16) ? t->twice : t->single;
    r[0x00] = h[0];
    r[0x01] = h[1];
    r[0x04] = h[2];
    r[0x05] = h[3];
    r[HOverflow] = h[4];
    r[0x06] = t->cr06;
    r[0x07] = t->cr07;
    r[0x10] = t->cr10;
    r[0x11] = t->cr11;
    r[0x12] = t->cr12;
    r[VOverflow] = t->cr5e;
    ProgramBlanking(r, bitsPerPixel, *t, h);
    return (BYTE)(MiscBase | ProgrammableClock | t->syncs);
}

// The S3-layout timing put into the chip's own register file: the Trio64
// takes it as it is, with its identity; the others keep the overflow bits in
// registers of their own, and the TGUI's pixel bus follows the depth.
void SettleChip(int chip, int bitsPerPixel, BYTE* registers, BYTE* ownOverflow)
{
    if (chip == VirtualTrio64) {
        for (const auto& id : Trio64Identity)
            registers[id[0]] = id[1];
        ownOverflow[0] = ownOverflow[1] = 0;
        return;
    }
    ownOverflow[0] = registers[HOverflow];
    ownOverflow[1] = registers[VOverflow];
    registers[HOverflow] = registers[VOverflow] = 0;
    if (chip == VirtualTgui9440)
        registers[TguiPixelBus] = TguiPixelBusOf(bitsPerPixel);
}

void ProgramMode(VirtualBoardState& b, int width, int height, int bitsPerPixel, int refresh)
{
    b.width = width;
    b.height = height;
    b.bitsPerPixel = bitsPerPixel;
    b.refresh = refresh;
    b.miscOutput = ProgramTiming(b.crtc, width, height, bitsPerPixel, refresh);
    SettleChip(b.chip, bitsPerPixel, b.crtc, b.ownOverflow);
}

void ParseResolution(const char* text, int* width, int* height)
{
    const char* comma = text;
    while (*comma != '\0' && *comma != ',')
        ++comma;
    *width = TextToInt(text);
    *height = *comma == ',' ? TextToInt(comma + 1) : 0;
}

// The mode Windows would start in: the display settings of the machine.
void ReadStartMode(int* width, int* height, int* bitsPerPixel)
{
    *width = 640;
    *height = 480;
    *bitsPerPixel = 8;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DisplaySettingsPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char resolution[40] = "";
    char depth[40] = "";
    DWORD size = sizeof resolution - 1;
    RegQueryValueExA(key, "Resolution", 0, 0, (BYTE*)resolution, &size);
    size = sizeof depth - 1;
    RegQueryValueExA(key, "BitsPerPixel", 0, 0, (BYTE*)depth, &size);
    RegCloseKey(key);
    int w, h;
    ParseResolution(resolution, &w, &h);
    int bpp = TextToInt(depth);
    if (VirtualModeSupported(w, h, bpp, 60)) {
        *width = w;
        *height = h;
        *bitsPerPixel = bpp;
    }
}

void FreshBoard(VirtualBoardState& b, int width, int height, int bitsPerPixel, int chip)
{
    ZeroMemory(&b, sizeof b);
    b.signature = BoardSignature;
    b.chip = chip >= 0 && chip < VirtualChipCount ? chip : (int)VirtualTrio64;
    ProgramMode(b, width, height, bitsPerPixel, 60);
}

// Maps the board's state file, making a fresh board on first use.
VirtualBoardState* MapBoard()
{
    if (Board != 0)
        return Board;
    BoardMutex = CreateMutexA(0, FALSE, BoardMutexName);
    WaitForSingleObject(BoardMutex, INFINITE);
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - sizeof BoardFileName)
        path[0] = '\0';
    TextAppend(path, sizeof path, BoardFileName);
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    HANDLE mapping = 0;
    if (file != INVALID_HANDLE_VALUE) {
        mapping = CreateFileMappingA(file, 0, PAGE_READWRITE, 0, sizeof(VirtualBoardState), 0);
        CloseHandle(file);
    }
    static VirtualBoardState privateBoard;   // only when the file can't be had
    VirtualBoardState* board = &privateBoard;
    if (mapping != 0) {
        void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(VirtualBoardState));
        CloseHandle(mapping);
        if (view != 0)
            board = (VirtualBoardState*)view;
    }
    if (board->signature != BoardSignature) {
        int width, height, bitsPerPixel;
        ReadStartMode(&width, &height, &bitsPerPixel);
        FreshBoard(*board, width, height, bitsPerPixel, VirtualTrio64);
    }
    Board = board;
    ReleaseMutex(BoardMutex);
    return Board;
}

void LogWrite(VirtualBoardState& b, WORD port, BYTE value)
{
    VirtualPortWrite& entry = b.writeLog[b.portWrites % VirtualWriteLogCapacity];
    entry.port = port;
    entry.value = value;
    entry.index = port == 0x3D5 ? b.index : 0;
    ++b.portWrites;
}

// One harm's sentence after those before it; the sentences are this file's
// own, each well within the room.
void AddHarm(char* text, int capacity, const char* sentence, int found, int expected)
{
    if (text[0] != '\0')
        TextAppend(text, capacity, " ");
    char value[96];
    wsprintfA(value, sentence, found, expected);
    TextAppend(text, capacity, value);
}

} // namespace

bool VirtualModeSupported(int width, int height, int bitsPerPixel, int refresh)
{
    refresh = EffectiveRefresh(refresh);
    if (bitsPerPixel == 4)
        return width == 640 && height == 480 && refresh == 60;
    if (bitsPerPixel != 8 && bitsPerPixel != 15 && bitsPerPixel != 16 && bitsPerPixel != 32)
        return false;
    if (FindTiming(width, height, refresh) == 0)
        return false;
    // The Trio64's pixel clock can't drive 1280x1024 at the doubled 16-bit clock.
    if (width == 1280 && bitsPerPixel != 8)
        return false;
    return (LONG)width * height * (bitsPerPixel / 8) <= VideoMemoryBytes;
}

BYTE VirtualPortIn(WORD port)
{
    VirtualBoardState& b = *MapBoard();
    ++b.portReads;
    BYTE value = 0xFF;
    if (port == 0x3D4)
        value = b.index;
    else if (port == 0x3D5)
        value = LoadRegister(b, b.index);
    else if (port == 0x3CC)
        value = b.miscOutput;
    if (PortWatcher != 0)
        PortWatcher(port, value, false);
    return value;
}

void VirtualPortOut(WORD port, BYTE value)
{
    VirtualBoardState& b = *MapBoard();
    LogWrite(b, port, value);
    if (port == 0x3D4)
        b.index = (BYTE)(value & ChipOf(b).indexMask);
    else if (port == 0x3D5)
        StoreRegister(b, b.index, value);
    else if (port == 0x3C2)
        b.miscOutput = value;
    if (PortWatcher != 0)
        PortWatcher(port, value, true);
}

bool VirtualPortServed(WORD port, bool write)
{
    return port == 0x3D4 || port == 0x3D5 || port == (write ? 0x3C2 : 0x3CC);
}

void WatchVirtualPorts(VirtualPortWatcher watcher)
{
    PortWatcher = watcher;
}

void VirtualScreenSize(int* width, int* height)
{
    VirtualBoardState& b = *MapBoard();
    *width = b.width;
    *height = b.height;
}

LONG VirtualRequestMode(int width, int height, int bitsPerPixel, int refresh)
{
    VirtualBoardState& b = *MapBoard();
    WaitForSingleObject(BoardMutex, INFINITE);
    if (bitsPerPixel == 0)
        bitsPerPixel = b.bitsPerPixel;
    ++b.modeRequests;
    b.lastWidth = width;
    b.lastHeight = height;
    b.lastBitsPerPixel = bitsPerPixel;
    b.lastRefresh = refresh;
    LONG result = DISP_CHANGE_BADMODE;
    if (VirtualModeSupported(width, height, bitsPerPixel, refresh)) {
        ProgramMode(b, width, height, bitsPerPixel, EffectiveRefresh(refresh));
        result = DISP_CHANGE_SUCCESSFUL;
    }
    b.lastResult = result;
    ReleaseMutex(BoardMutex);
    if (result == DISP_CHANGE_SUCCESSFUL) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(HWND_BROADCAST, WM_DISPLAYCHANGE, (WPARAM)bitsPerPixel,
                            MAKELPARAM(width, height), SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    return result;
}

void VirtualBoardReset(int width, int height, int bitsPerPixel, int chip)
{
    VirtualBoardState& b = *MapBoard();
    WaitForSingleObject(BoardMutex, INFINITE);
    FreshBoard(b, width, height, bitsPerPixel, chip);
    ReleaseMutex(BoardMutex);
}

void VirtualBoardRead(VirtualBoardState* state)
{
    *state = *MapBoard();
}

const char* VirtualChipName(int chip)
{
    return chip >= 0 && chip < VirtualChipCount ? Chips[chip].name : "";
}

int VirtualChipOfName(const char* name)
{
    for (int chip = 0; chip < VirtualChipCount; ++chip)
        if (TextEqual(name, Chips[chip].name))
            return chip;
    return -1;
}

void VirtualModeRegisters(int chip, int width, int height, int bitsPerPixel, int refresh, BYTE* registers)
{
    BYTE ownOverflow[2];
    ProgramTiming(registers, width, height, bitsPerPixel, refresh);
    SettleChip(chip, bitsPerPixel, registers, ownOverflow);
}

void VirtualTimingRegisters(const VirtualBoardState& state, BYTE* registers)
{
    for (int i = 0; i < VirtualRegisterCount; ++i)
        registers[i] = state.crtc[i];
    if (ChipOf(state).s3)
        return;
    registers[HOverflow] = state.ownOverflow[0];
    registers[VOverflow] = state.ownOverflow[1];
}

// The TGUI's pixel bus is wrong for the depth: the DAC takes the pixels at
// another width. Where a chip decodes six index bits, CR1D bit 7 is a display
// start bit (Cirrus) and CR1E holds the interlace and display start bits (old
// Trident): the mode leaves both 00h, and anything else shows other memory.
bool VirtualBoardHarm(const VirtualBoardState& b, char* text, int capacity)
{
    if (capacity <= 0)
        return false;
    text[0] = '\0';
    bool garbled = false;
    if (b.chip == VirtualTgui9440) {
        BYTE bus = TguiPixelBusOf(b.bitsPerPixel);
        if (b.crtc[TguiPixelBus] != bus) {
            AddHarm(text, capacity, "The pixel bus CR38 is %02Xh, not %02Xh.", b.crtc[TguiPixelBus], bus);
            garbled = true;
        }
        if (b.crtc[TguiPciRegister] & TguiMemoryMappedIo)
            AddHarm(text, capacity, "CR39 %02Xh turned memory-mapped I/O on.", b.crtc[TguiPciRegister], 0);
    } else if (b.chip == VirtualSixBit) {
        if (b.crtc[SixBitStartRegister] != 0) {
            AddHarm(text, capacity, "The display start CR1D is %02Xh, not %02Xh.", b.crtc[SixBitStartRegister], 0);
            garbled = true;
        }
        if (b.crtc[SixBitInterlaceRegister] != 0) {
            AddHarm(text, capacity, "The interlace CR1E is %02Xh, not %02Xh.", b.crtc[SixBitInterlaceRegister], 0);
            garbled = true;
        }
    }
    return garbled;
}

bool VirtualLoggedWrite(const VirtualBoardState& state, LONG n, VirtualPortWrite* write)
{
    if (n < 0 || n >= state.portWrites || state.portWrites - n > VirtualWriteLogCapacity)
        return false;
    *write = state.writeLog[n % VirtualWriteLogCapacity];
    return true;
}

long VirtualDotClock(const VirtualBoardState& state)
{
    switch (state.miscOutput & ClockSelectMask) {
    case Vga25MHz: return 25175;
    case Vga28MHz: return 28322;
    }
    const StandardTiming* t = FindTiming(state.width, state.height, state.refresh);
    return t ? t->pixelClock * DotClocksPerPixel(state.bitsPerPixel) : 0;
}
