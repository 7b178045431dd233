#pragma once

#include <stdexcept>
#include <string>

// Raised by CArchive when a document file cannot be read as this program wrote it.
class CArchiveException : public std::runtime_error {
public:
    enum Cause {
        none = 0,
        genericException = 1,
        endOfFile = 3,
        badSchema = 7,
    };

    explicit CArchiveException(int cause, const std::string& what = std::string())
        : std::runtime_error(what.empty() ? DefaultText(cause) : what), m_cause(cause) {}

    int m_cause;

private:
    static std::string DefaultText(int cause) {
        switch (cause) {
        case endOfFile:
            return "unexpected end of file";
        case badSchema:
            return "the file does not have the layout of a Tavik document";
        default:
            return "archive error";
        }
    }
};
