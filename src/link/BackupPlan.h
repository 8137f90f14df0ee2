#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orven {

// What the scheduled backup prepares before it runs the backup jobs: the period, the unit
// and the BU_ folders under the backup base.
struct BackupPlan {
    enum Unit { Monthly = 0, Yearly = 1 };  // any other value: everything in one folder

    std::string firstMonth;  // "YYYYMM"
    std::string lastMonth;   // "YYYYMM"
    int unit = Monthly;
    std::vector<std::string> monthlyFolders;  // up to three "BU_YYYYMM", oldest first
    std::string yearlyFolder;                 // "BU_YYYY"
    std::string allFolder = "BU_ALL";
    std::filesystem::path base;  // the BU_ folders lie directly below it

    // The folder a message of this month goes to; empty when the monthly unit has none.
    std::string folderFor(const std::string& month) const {
        if (unit == Monthly) {
            for (const std::string& folder : monthlyFolders) {
                if (folder.size() >= 9 && folder.compare(3, 6, month) == 0) {
                    return folder;
                }
            }
            return {};
        }
        return unit == Yearly ? yearlyFolder : allFolder;
    }
    // The folder of the system response messages: the newest of the unit.
    std::string responseFolder() const {
        if (unit == Monthly) {
            return monthlyFolders.empty() ? std::string() : monthlyFolders.back();
        }
        return unit == Yearly ? yearlyFolder : allFolder;
    }
    bool inPeriod(const std::string& month) const {
        return month >= firstMonth && month <= lastMonth;
    }
};

}  // namespace orven
