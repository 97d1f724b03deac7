#include "SaveToFile.h"

#include "ClipBlocks.h"
#include "ClipWindow.h"

#include "MessageSink.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace {

void discard(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void reportWriteFailure(const std::string& clipPath, const std::string& reason) {
    // The writer thread may not call Maya: the message is shown later, on the main thread.
    postMessage(MessageKind::error, "Cannot write clip file " + clipPath + ": " + reason);
}

bool parentFolderExists(const std::string& path) {
    std::error_code ignored;
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ignored);
}

}  // namespace

std::string temporaryClipPath(const std::string& clipPath) {
    // Several saves to one path may run at once, in this process or another: the counter keeps
    // this process's names apart, the random tag other processes'.
    static const unsigned long processTag = std::random_device{}();
    static std::atomic<unsigned long> counter{0};
    return clipPath + ".part" + std::to_string(processTag) + "-" + std::to_string(++counter);
}

void saveToFile(const SaveToFileArguments& arguments) {
    const auto window = cutClipWindow(arguments.recording, static_cast<double>(arguments.clipLength));
    if (!window) return;

    const std::string partPath = temporaryClipPath(arguments.clipPath);
    {
        std::ofstream out(partPath, std::ios::binary | std::ios::trunc);
        if (!out) {
            // A missing folder was already reported by the command, on the main thread.
            if (parentFolderExists(arguments.clipPath))
                reportWriteFailure(arguments.clipPath, "the file could not be created");
            return;
        }
        try {
            writeClipWindow(out, arguments.recording, *window);
            out.close();
            if (!out) throw ClipWriteError("the file could not be closed");
        } catch (const std::exception& error) {
            out.close();
            discard(partPath);
            reportWriteFailure(arguments.clipPath, error.what());
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(partPath, arguments.clipPath, error);
    if (error) {  // the clip path is taken by something a file cannot replace
        discard(partPath);
        reportWriteFailure(arguments.clipPath, error.message());
    }
}
