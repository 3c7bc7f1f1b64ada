// The library's error exit, progress monitor, and the memory destination and source.
#include "jpeg/JpegLibrary.h"

#include <algorithm>
#include <cstring>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "jpeg/JPEGImage.h"
#include "resources/StringIds.h"

namespace {
constexpr size_t kBufferSize = 4096;

TJpegContext& ContextOf(j_common_ptr library) { return *static_cast<TJpegContext*>(library->client_data); }

void RaiseJpegError(j_common_ptr library) { LeaveLibrary(ContextOf(library)); }

// Warnings (a premature end of data among them) are not failures here.
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}
void IgnoreFormat(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void ResetErrors(j_common_ptr library) {
    library->err->num_warnings = 0;
    library->err->msg_code = 0;
}

// Sends the notification where no exception may leave: a handler's one is kept.
bool SendProgress(TJpegContext& context, unsigned char percent, bool redrawNow, const RECT& rect) noexcept {
    try {
        context.Progress.Owner->Progress(TProgressStage::StageRunning, percent, redrawNow, rect);
        return true;
    } catch (...) {
        context.Pending = std::current_exception();
        return false;
    }
}

void ProgressHook(j_common_ptr library) {
    TJpegContext& context = ContextOf(library);
    TJpegProgress& progress = context.Progress;
    if (!progress.Owner) return;
    DWORD now = GetTickCount();
    if (now - progress.LastTick < TJPEGImage::ProgressInterval) return;
    DWORD previous = progress.LastTick;
    progress.LastTick = now;
    if (previous == 0) return;

    RECT rect{};
    JDIMENSION scanLine = 0;
    if (library->is_decompressor) {
        auto* decompress = reinterpret_cast<j_decompress_ptr>(library);
        scanLine = decompress->output_scanline;
        rect = {0, static_cast<LONG>(progress.LastScanLine), static_cast<LONG>(decompress->output_width),
                static_cast<LONG>(scanLine)};
        if (rect.bottom < rect.top) rect.bottom = static_cast<LONG>(decompress->output_height);
    }
    const jpeg_progress_mgr& pass = progress.Library;
    if (pass.pass_limit <= 0 || pass.total_passes <= 0) return;
    double done = (static_cast<double>(pass.pass_counter) / pass.pass_limit + pass.completed_passes) * 100.0 /
                  pass.total_passes;
    int percent = static_cast<int>(std::clamp(done, 0.0, 100.0));
    if (percent == progress.LastPercent) return;
    progress.LastPercent = percent;
    if (library->is_decompressor) progress.LastScanLine = scanLine;
    if (!SendProgress(context, static_cast<unsigned char>(percent), rect.bottom - rect.top >= 4, rect))
        LeaveLibrary(context);
}

// Destination: the library's bytes appended to a string.
struct TStreamDestination {
    jpeg_destination_mgr Library;
    std::string* Target;
    JOCTET* Buffer;
};

TStreamDestination& DestinationOf(j_compress_ptr library) {
    return *reinterpret_cast<TStreamDestination*>(library->dest);
}

bool Append(std::string& target, const JOCTET* bytes, size_t count) noexcept {
    try {
        target.append(reinterpret_cast<const char*>(bytes), count);
        return true;
    } catch (...) {
        return false;
    }
}

void StartDestination(j_compress_ptr library) {
    TStreamDestination& d = DestinationOf(library);
    d.Buffer = static_cast<JOCTET*>(
        (*library->mem->alloc_small)(reinterpret_cast<j_common_ptr>(library), JPOOL_IMAGE, kBufferSize));
    d.Library.next_output_byte = d.Buffer;
    d.Library.free_in_buffer = kBufferSize;
}

boolean EmptyDestination(j_compress_ptr library) {
    TStreamDestination& d = DestinationOf(library);
    if (!Append(*d.Target, d.Buffer, kBufferSize)) ERREXIT(library, JERR_FILE_WRITE);
    d.Library.next_output_byte = d.Buffer;
    d.Library.free_in_buffer = kBufferSize;
    return TRUE;
}

void FinishDestination(j_compress_ptr library) {
    TStreamDestination& d = DestinationOf(library);
    size_t used = kBufferSize - d.Library.free_in_buffer;
    if (used > 0 && !Append(*d.Target, d.Buffer, used)) ERREXIT(library, JERR_FILE_WRITE);
}

// Source: a string read from its start.
struct TStreamSource {
    jpeg_source_mgr Library;
    const std::string* Source;
    size_t Position;
    JOCTET* Buffer;
    bool StartOfFile;
};

TStreamSource& SourceOf(j_decompress_ptr library) { return *reinterpret_cast<TStreamSource*>(library->src); }

void StartSource(j_decompress_ptr library) { SourceOf(library).StartOfFile = true; }

boolean FillSource(j_decompress_ptr library) {
    TStreamSource& s = SourceOf(library);
    size_t count = std::min(kBufferSize, s.Source->size() - std::min(s.Position, s.Source->size()));
    if (count == 0) {
        if (s.StartOfFile) ERREXIT(library, JERR_INPUT_EMPTY);
        WARNMS(library, JWRN_JPEG_EOF);
        s.Buffer[0] = 0xFF;
        s.Buffer[1] = JPEG_EOI;
        count = 2;
    } else {
        std::memcpy(s.Buffer, s.Source->data() + s.Position, count);
        s.Position += count;
    }
    s.Library.next_input_byte = s.Buffer;
    s.Library.bytes_in_buffer = count;
    s.StartOfFile = false;
    return TRUE;
}

void SkipSource(j_decompress_ptr library, long count) {
    if (count <= 0) return;
    TStreamSource& s = SourceOf(library);
    size_t left = static_cast<size_t>(count);
    while (left > s.Library.bytes_in_buffer) {
        left -= s.Library.bytes_in_buffer;
        FillSource(library);
    }
    s.Library.next_input_byte += left;
    s.Library.bytes_in_buffer -= left;
}

void FinishSource(j_decompress_ptr) {}
}  // namespace

void PrepareContext(TJpegContext& context, j_common_ptr library, TJPEGImage* owner) {
    jpeg_error_mgr& errors = context.Errors;
    errors.error_exit = RaiseJpegError;
    errors.emit_message = IgnoreMessage;
    errors.output_message = IgnoreOutput;
    errors.format_message = IgnoreFormat;
    errors.reset_error_mgr = ResetErrors;
    library->err = &errors;
    library->client_data = &context;
    context.Progress.Owner = owner;
    context.Progress.Library.progress_monitor = ProgressHook;
}

void LeaveLibrary(TJpegContext& context) { longjmp(context.Exit, 1); }

void RaiseLibraryFailure(TJpegContext& context) {
    if (context.Pending) {
        std::exception_ptr pending = context.Pending;
        context.Pending = nullptr;
        std::rethrow_exception(pending);
    }
    throw EJPEG(Format(LoadStr(SJPEGError), {IntToStr(context.Errors.msg_code)}));
}

void SetStreamDestination(j_compress_ptr library, std::string* target) {
    if (!library->dest)
        library->dest = static_cast<jpeg_destination_mgr*>((*library->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(library), JPOOL_PERMANENT, sizeof(TStreamDestination)));
    TStreamDestination& d = DestinationOf(library);
    d.Library.init_destination = StartDestination;
    d.Library.empty_output_buffer = EmptyDestination;
    d.Library.term_destination = FinishDestination;
    d.Target = target;
}

void SetStreamSource(j_decompress_ptr library, const std::string* source) {
    if (!library->src) {
        auto common = reinterpret_cast<j_common_ptr>(library);
        auto* made = static_cast<TStreamSource*>(
            (*library->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(TStreamSource)));
        made->Buffer = static_cast<JOCTET*>((*library->mem->alloc_small)(common, JPOOL_PERMANENT, kBufferSize));
        library->src = &made->Library;
    }
    TStreamSource& s = SourceOf(library);
    s.Library.init_source = StartSource;
    s.Library.fill_input_buffer = FillSource;
    s.Library.skip_input_data = SkipSource;
    s.Library.resync_to_restart = jpeg_resync_to_restart;
    s.Library.term_source = FinishSource;
    s.Library.bytes_in_buffer = 0;
    s.Library.next_input_byte = nullptr;
    s.Source = source;
    s.Position = 0;
}

