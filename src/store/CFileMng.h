#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"
#include "store/BoxInfo.h"
#include "store/BundleReader.h"
#include "store/DestinationMap.h"
#include "store/MessageFolder.h"
#include "store/MessageInfoFile.h"
#include "store/RequestList.h"
#include "store/StoreContext.h"
#include "store/VoiceData.h"

namespace orven {

// The local store's operations as one object: every job and list window makes its own and
// keeps it while it works. It holds what belongs to one user of the store (the destination
// map of a bundle); the work itself is done by the classes of the single formats.
class CFileMng {
  public:
    using path = std::filesystem::path;

    // settings is ORVEN.ini, needed only for the per-box deletion switch; it may be null.
    explicit CFileMng(StoreContext context, const ProfileFile* settings = nullptr);
    virtual ~CFileMng() = default;
    CFileMng(const CFileMng&) = delete;
    CFileMng& operator=(const CFileMng&) = delete;

    const StoreContext& context() const { return m_context; }

    // Message information files.
    int ScanFolder(std::vector<FILESTS_INFO>& records, const path& boxFolder) const;
    int ReadInfo(const path& file, FILESTS_INFO& record) const;
    int PrependInfo(const path& file, const FILESTS_INFO& record) const;
    int WriteInfo(const path& file, FILESTS_INFO& record) const;
    int RestampHeader(const path& file, const FILESTS_INFO& record) const;
    int IsValidMessageFile(const path& file) const;
    static int IsValidMessageData(const path& file, const FILESTS_INFO& record,
                                  const HeaderBlock& block);
    int CountMessages(const path& folder) const;
    int ReadFirstInfo(const path& folder, FILESTS_INFO& record) const;
    static int FileExists(const path& file);
    std::string StoreHeaderBlock(const HeaderBlock& block, const path& destFolder,
                                 bool voiceFollows, bool useMap) const;
    int CheckExistingResponse(const path& folder, const std::string& newName, path& found) const;
    int RemoveOlderCopies(const path& folder, const std::string& newVoiceName) const;
    int StoreHoldsMessages(const path& store) const;

    // Voice data.
    static double GetAacDuration(const path& aacFile);
    static int HasAudioExports(const path& folder);
    static int DeleteAudioExports(const path& folder);

    // Box information files.
    int GetBoxName(const path& folder, std::string& name) const;
    int SetBoxName(const path& folder, const std::string& name) const;
    int SetMakeState(const path& folder, const std::string& value) const;
    int GetMakeState(const path& folder) const;
    int IsMakePending(const path& folder) const;
    int IsAutoDeleteBox(const std::string& remoteBoxPath) const;

    // Request lists and bundles.
    path WriteRequestList(const std::vector<std::string>& names, const path& folder,
                          bool voice) const;
    void SetDestFolderMap(const std::vector<std::string>& names, const std::vector<path>& folders);
    path LookupDestFolder(const std::string& name) const;
    int UnpackBundle(const path& destFolder, const path& bundle, std::vector<std::string>* names,
                     bool voiceFollows, bool replace, bool useMap);
    static int DeleteRequestLists(const path& anyPathInsideFolder);

  private:
    StoreContext m_context;
    const ProfileFile* m_settings;
    DestinationMap m_map;
    MessageInfoFile m_infoFile;
    MessageFolder m_folder;
    BoxInfo m_boxInfo;
    BundleReader m_bundle;
};

}  // namespace orven
