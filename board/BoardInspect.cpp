// BoardInspect: prints the virtual S3 board's state as name=value lines, or
// puts a fresh board in a mode.
//
//   BoardInspect                  the mode, the CRT controller registers, the
//                                 miscellaneous output register, the counters
//                                 and the last mode request
//   BoardInspect reset W,H BPP    a fresh board in W x H at BPP, 60 Hz
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "board/VirtualBoard.h"

// The registers the board gives meaning to: the standard timing and blanking
// registers, the S3 locks and the S3 overflow registers.
static const int PrintedRegisters[] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
    0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,
    0x38, 0x39, 0x5D, 0x5E,
};

static void PrintBoard()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    printf("width=%ld\nheight=%ld\nbpp=%ld\nrefresh=%ld\n", b.width, b.height, b.bitsPerPixel, b.refresh);
    for (int index : PrintedRegisters)
        printf("CR%02X=%02X\n", index, b.crtc[index]);
    printf("MISC=%02X\n", b.miscOutput);
    printf("port_reads=%ld\nport_writes=%ld\nmode_requests=%ld\n", b.portReads, b.portWrites, b.modeRequests);
    printf("last_request=%ldx%ld@%ld bpp=%ld\n", b.lastWidth, b.lastHeight, b.lastRefresh, b.lastBitsPerPixel);
    printf("last_result=%ld\n", b.lastResult);
}

static int Reset(const char* resolution, const char* depth)
{
    int width = 0, height = 0;
    int bitsPerPixel = atoi(depth);
    if (sscanf(resolution, "%d,%d", &width, &height) != 2 ||
        !VirtualModeSupported(width, height, bitsPerPixel, 60)) {
        fprintf(stderr, "BoardInspect: the board has no mode %s at %s bits per pixel\n", resolution, depth);
        return 2;
    }
    VirtualBoardReset(width, height, bitsPerPixel);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 1) {
        PrintBoard();
        return 0;
    }
    if (argc == 4 && strcmp(argv[1], "reset") == 0)
        return Reset(argv[2], argv[3]);
    fprintf(stderr, "usage: BoardInspect [reset W,H BPP]\n");
    return 2;
}
