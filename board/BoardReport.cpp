// BoardReport: prints the virtual board's state as name=value lines, its
// log of port writes, or puts a fresh board in a mode.
//
//   BoardReport                           the chip, the mode, the CRT controller
//                                         registers, the miscellaneous output
//                                         register, the counters, the last mode
//                                         request and what wrong writes harmed
//   BoardReport writes                    the port writes the log holds, oldest
//                                         first: "3D4 38", "3D5 48 CR38"
//   BoardReport reset W,H BPP [CHIP]      a fresh board in W x H at BPP, 60 Hz,
//                                         with the chip trio64 (the default),
//                                         tgui9440 or sixbit
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "board/VirtualBoard.h"

// The registers the board gives meaning to: the standard timing and blanking
// registers, the six-bit chip's display start and interlace, the S3 identity,
// the S3 locks (the TGUI's pixel bus and memory-mapped I/O switch) and the S3
// overflow registers.
static const int PrintedRegisters[] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
    0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,
    0x1D, 0x1E, 0x2D, 0x2E, 0x2F, 0x30, 0x38, 0x39, 0x5D, 0x5E,
};

static void PrintBoard()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    printf("chip=%s\n", VirtualChipName(b.chip));
    printf("width=%ld\nheight=%ld\nbpp=%ld\nrefresh=%ld\n", b.width, b.height, b.bitsPerPixel, b.refresh);
    for (int index : PrintedRegisters)
        printf("CR%02X=%02X\n", index, b.crtc[index]);
    printf("MISC=%02X\n", b.miscOutput);
    printf("port_reads=%ld\nport_writes=%ld\nmode_requests=%ld\n", b.portReads, b.portWrites, b.modeRequests);
    printf("last_request=%ldx%ld@%ld bpp=%ld\n", b.lastWidth, b.lastHeight, b.lastRefresh, b.lastBitsPerPixel);
    printf("last_result=%ld\n", b.lastResult);
    char harm[256];
    VirtualBoardHarm(b, harm, sizeof harm);
    printf("harm=%s\n", harm);
}

static void PrintWrites()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    LONG first = b.portWrites > VirtualWriteLogCapacity ? b.portWrites - VirtualWriteLogCapacity : 0;
    if (first > 0)
        printf("(%ld earlier writes no longer logged)\n", first);
    for (LONG n = first; n < b.portWrites; ++n) {
        VirtualPortWrite write;
        VirtualLoggedWrite(b, n, &write);
        if (write.port == 0x3D5)
            printf("%X %02X CR%02X\n", write.port, write.value, write.index);
        else
            printf("%X %02X\n", write.port, write.value);
    }
}

static int Reset(const char* resolution, const char* depth, const char* chipName)
{
    int width = 0, height = 0;
    int bitsPerPixel = atoi(depth);
    int chip = VirtualChipOfName(chipName);
    if (chip < 0) {
        fprintf(stderr, "BoardReport: no chip %s (trio64, tgui9440, sixbit)\n", chipName);
        return 2;
    }
    if (sscanf(resolution, "%d,%d", &width, &height) != 2 ||
        !VirtualModeSupported(width, height, bitsPerPixel, 60)) {
        fprintf(stderr, "BoardReport: the board has no mode %s at %s bits per pixel\n", resolution, depth);
        return 2;
    }
    VirtualBoardReset(width, height, bitsPerPixel, chip);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 1) {
        PrintBoard();
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "writes") == 0) {
        PrintWrites();
        return 0;
    }
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "reset") == 0)
        return Reset(argv[2], argv[3], argc == 5 ? argv[4] : VirtualChipName(VirtualTrio64));
    fprintf(stderr, "usage: BoardReport [writes | reset W,H BPP [trio64|tgui9440|sixbit]]\n");
    return 2;
}
