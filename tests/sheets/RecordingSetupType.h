#pragma once

#include "model/CBrantSetupType.h"

#include <string>
#include <tuple>
#include <vector>

// A setup type with no sheet of its own that records every change notice it receives, in order. Put it in
// a slot of the setup-type table (SheetsFixture::Record) to see what a sheet tells that slot.
class RecordingSetupType : public CBrantSetupType {
public:
    struct Notice {
        int source;
        int row;
        int col;
        std::string text;
        bool operator==(const Notice& other) const {
            return std::tie(source, row, col, text) ==
                   std::tie(other.source, other.row, other.col, other.text);
        }
    };

    explicit RecordingSetupType(SETUP_TYPE slot) { m_nSetupType = slot; }

    int ValidateData(int, int, std::string) override { return 1; }
    void SetParm(int, int, std::string) override {}
    void Initialize() override {}
    void ResetChannel(int) override {}
    int GetNumChannels() override { return 0; }
    int UploadData(CComSetupDialog*) override { return 0; }
    int DownloadData(CComSetupDialog*) override { return 0; }

    std::vector<Notice> notices;

protected:
    void OnUpdateModify(int source, int row, int col, std::string text) override {
        notices.push_back({source, row, col, std::move(text)});
    }

private:
    void CreateDefDataSheet() override {}
};

// Lets a failing expectation print a notice readably.
inline void PrintTo(const RecordingSetupType::Notice& n, std::ostream* os) {
    *os << "(" << n.source << ", " << n.row << ", " << n.col << ", \"" << n.text << "\")";
}
