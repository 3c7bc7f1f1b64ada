#pragma once
// What the JPEG image shares with libjpeg: the per-operation context, the
// error exit, the progress monitor and the memory destination and source.
//
// The library is C: its error exit leaves a call by longjmp, and nothing may
// unwind a C++ exception through its frames. So every sequence of library
// calls runs as one plain step function through RunLibrary, the only place
// that arms the exit; steps hold no objects with destructors. The failure is
// turned into an exception once RunLibrary has returned.
#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

class TJPEGImage;
class TJPEGData;

// The library's progress record and what the last report said.
struct TJpegProgress {
    jpeg_progress_mgr Library;
    TJPEGImage* Owner;
    int LastPercent;
    DWORD LastTick;
    JDIMENSION LastScanLine;
};

// Built zero-filled (`TCompressContext c{};`) for each encode or decode.
struct TJpegContext {
    jpeg_error_mgr Errors;
    TJpegProgress Progress;
    jmp_buf Exit;
    // An exception a progress handler raised inside a library call, raised
    // again once the call has been left.
    std::exception_ptr Pending;
};

struct TCompressContext : TJpegContext {
    ~TCompressContext() { jpeg_destroy_compress(&Library); }
    jpeg_compress_struct Library;
    std::string* Target;
    JSAMPROW* Rows;  // one address per image row, top row first
    JDIMENSION RowsPerCall;
    int Quality;
    bool Gray, Progressive;
};

struct TDecompressContext : TJpegContext {
    ~TDecompressContext() { jpeg_destroy_decompress(&Library); }
    // The values of the last pass while a multi-scan image is shown scan by scan.
    J_DCT_METHOD FinalDctMethod;
    boolean FinalTwoPass;
    J_DITHER_MODE FinalDither;
    jpeg_decompress_struct Library;
    const std::string* Source;
    JSAMPROW* Rows;
    JDIMENSION RowsPerCall;
    // The image's settings the steps apply.
    int ScaleShift;
    bool BlockSmoothing, GrayOutput, Depth8, FavourSpeed, ShowScans;
    // A palette to decode into, as colour-map entries.
    PALETTEENTRY Entries[256];
    UINT EntryCount;
    int ExpectedComponents;  // bytes a pixel of the bitmap's rows
    bool MultipleScans;
    bool EndOfImage;  // the scan-by-scan loop has seen the last scan
};

// Installs the error manager and, with an owner, the progress monitor; the
// library structure itself is made by the first step.
void PrepareContext(TJpegContext& context, j_common_ptr library, TJPEGImage* owner);

// Leaves the library call in progress; RunLibrary then returns non-zero.
[[noreturn]] void LeaveLibrary(TJpegContext& context);

// 0 when `steps` went through; otherwise they were left at a library failure
// or a progress handler's exception.
template <typename Context>
int RunLibrary(Context& context, void (*steps)(Context&)) {
    if (setjmp(context.Exit)) return 1;
    steps(context);
    return 0;
}

// Raises what made RunLibrary fail: the handler's exception, or EJPEG
// "JPEG error #%d" with the library's message code.
[[noreturn]] void RaiseLibraryFailure(TJpegContext& context);

template <typename Context>
void CallLibrary(Context& context, void (*steps)(Context&)) {
    if (RunLibrary(context, steps)) RaiseLibraryFailure(context);
}

// The library's output goes to the end of `target` through a 4096-byte buffer.
void SetStreamDestination(j_compress_ptr library, std::string* target);
// The library reads `source` from its start through a 4096-byte buffer; an
// empty source is the library's empty-input error, and running out later
// ends the image with an EOI marker.
void SetStreamSource(j_decompress_ptr library, const std::string* source);

