#include "tools/tavik-cli/CliFiles.h"

#include "tools/tavik-cli/CliSystem.h"

#include "unit/CTavikDoc.h"
#include "unit/FileReplace.h"

namespace {
// Documents are a few tens of kilobytes; the largest the sheets can make stays below this.
constexpr std::size_t MAX_DOCUMENT_BYTES = 16u * 1024 * 1024;
} // namespace

bool IsStdio(const std::string& path) {
    return path == "-";
}

bool ReadInput(const std::string& path, std::istream& in, std::size_t limit, std::string& bytes,
               std::string& error) {
    if (!IsStdio(path)) return ReadNamedFile(path, limit, bytes, error);
    bytes.clear();
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > limit) {
            error = "standard input is far too large";
            return false;
        }
    }
    if (in.bad()) {
        error = "Cannot read standard input";
        return false;
    }
    return true;
}

bool LoadDocument(CTavikDoc& document, const std::string& path, std::istream& in, std::ostream& err) {
    std::string bytes;
    std::string error;
    if (!ReadInput(path, in, MAX_DOCUMENT_BYTES, bytes, error)) {
        err << "tavik-cli: " << error << (error.ends_with("too large") ? " to be a Tavik document" : "")
            << '\n';
    } else if (!document.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error)) {
        err << "tavik-cli: " << (IsStdio(path) ? std::string("standard input") : "'" + path + "'") << ": "
            << error << '\n';
    } else {
        return true;
    }
    document.OnNewDocument();
    return false;
}

bool CheckOutput(const std::string& path, std::ostream& err) {
    std::string error;
    if (IsStdio(path) || CheckOutputPath(path, error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool SaveDocument(CTavikDoc& document, const std::string& path, std::ostream& out, std::ostream& err) {
    if (IsStdio(path)) {
        const std::vector<std::uint8_t> bytes = document.SaveToBytes();
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return FinishOutput(out, err);
    }
    std::string error;
    if (document.OnSaveDocument(path, error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool WriteOutput(const std::string& path, const std::string& bytes, std::ostream& out, std::ostream& err) {
    if (IsStdio(path)) {
        out << bytes;
        return FinishOutput(out, err);
    }
    std::string error;
    if (ReplaceFileWith(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool FinishOutput(std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return true;
    err << "tavik-cli: cannot write to standard output\n";
    return false;
}
