#include "clip/nodes/SaveToFile.h"

#include "clip/folders/FilePathChecks.h"
#include "clip/folders/TemporaryPath.h"
#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipWindow.h"
#include "clip/nodes/ClipWriterMessages.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

void discard(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void reportWriteFailure(const SaveToFileArguments& arguments, const std::string& reason) {
    const std::string text = "Cannot write clip file " + arguments.clipPath + ": " + reason;
    reportClipWriterError(text);
    reportClipNotSaved(arguments.outcome, text);
}

std::size_t windowFrameCount(const CaptureRecording& recording, const ClipWindow& window) {
    return (window.startFrame ? 1 : 0) + (recording.frames.size() - window.firstRecorded);
}

}  // namespace

void saveToFile(const SaveToFileArguments& arguments) {
    const auto window = cutClipWindow(arguments.recording, arguments.clipLength);
    if (!window) {
        reportClipNotSaved(arguments.outcome, "the recording holds nothing to save");
        return;
    }

    const std::string partPath = temporaryPathBeside(arguments.clipPath);
    {
        errno = 0;
        std::ofstream out(partPath, std::ios::binary | std::ios::trunc);
        if (!out) {
            reportWriteFailure(arguments, whyFileCannotBeCreated(arguments.clipPath, errno));
            return;
        }
        try {
            writeClipWindow(out, arguments.recording, *window);
            out.close();
            if (!out) throw ClipWriteError("the file could not be closed");
        } catch (const std::exception& error) {
            out.close();
            discard(partPath);
            reportWriteFailure(arguments, error.what());
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(partPath, arguments.clipPath, error);
    if (error) {  // the clip path is taken by something a file cannot replace
        discard(partPath);
        reportWriteFailure(arguments, error.message());
        return;
    }
    reportClipSaved(arguments.outcome, windowFrameCount(arguments.recording, *window),
                    window->endTime - window->startTime);
}
