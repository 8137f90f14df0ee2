#include "store/CFileMng.h"

namespace orven {

CFileMng::CFileMng(StoreContext context, const ProfileFile* settings)
    : m_context(std::move(context)),
      m_settings(settings),
      m_infoFile(m_context),
      m_folder(m_context),
      m_boxInfo(m_context),
      m_bundle(m_context) {}

int CFileMng::ScanFolder(std::vector<FILESTS_INFO>& records, const path& boxFolder) const {
    return m_folder.ScanFolder(records, boxFolder);
}

int CFileMng::ReadInfo(const path& file, FILESTS_INFO& record) const {
    return m_infoFile.ReadInfo(file, record);
}

int CFileMng::PrependInfo(const path& file, const FILESTS_INFO& record) const {
    return m_infoFile.PrependInfo(file, record);
}

int CFileMng::WriteInfo(const path& file, FILESTS_INFO& record) const {
    return m_infoFile.WriteInfo(file, record);
}

int CFileMng::RestampHeader(const path& file, const FILESTS_INFO& record) const {
    return m_infoFile.RestampHeader(file, record);
}

int CFileMng::IsValidMessageFile(const path& file) const {
    return m_infoFile.IsValidMessageFile(file);
}

int CFileMng::IsValidMessageData(const path& file, const FILESTS_INFO& record,
                                 const HeaderBlock& block) {
    return MessageInfoFile::IsValidMessageData(file, record, block);
}

int CFileMng::CountMessages(const path& folder) const {
    return m_folder.CountMessages(folder);
}

int CFileMng::ReadFirstInfo(const path& folder, FILESTS_INFO& record) const {
    return m_folder.ReadFirstInfo(folder, record);
}

int CFileMng::FileExists(const path& file) {
    return MessageInfoFile::FileExists(file);
}

std::string CFileMng::StoreHeaderBlock(const HeaderBlock& block, const path& destFolder,
                                       bool voiceFollows, bool useMap) const {
    return m_infoFile.StoreHeaderBlock(block, destFolder, voiceFollows, useMap ? &m_map : nullptr);
}

int CFileMng::CheckExistingResponse(const path& folder, const std::string& newName,
                                    path& found) const {
    return m_folder.CheckExistingResponse(folder, newName, found);
}

int CFileMng::RemoveOlderCopies(const path& folder, const std::string& newVoiceName) const {
    return m_folder.RemoveOlderCopies(folder, newVoiceName);
}

int CFileMng::StoreHoldsMessages(const path& store) const {
    return m_folder.StoreHoldsMessages(store);
}

double CFileMng::GetAacDuration(const path& aacFile) {
    return VoiceData::GetAacDuration(aacFile);
}

int CFileMng::HasAudioExports(const path& folder) {
    return VoiceData::HasAudioExports(folder);
}

int CFileMng::DeleteAudioExports(const path& folder) {
    return VoiceData::DeleteAudioExports(folder);
}

int CFileMng::GetBoxName(const path& folder, std::string& name) const {
    return m_boxInfo.GetBoxName(folder, name);
}

int CFileMng::SetBoxName(const path& folder, const std::string& name) const {
    return m_boxInfo.SetBoxName(folder, name);
}

int CFileMng::SetMakeState(const path& folder, const std::string& value) const {
    return m_boxInfo.SetMakeState(folder, value);
}

int CFileMng::GetMakeState(const path& folder) const {
    return m_boxInfo.GetMakeState(folder);
}

int CFileMng::IsMakePending(const path& folder) const {
    return m_boxInfo.IsMakePending(folder);
}

int CFileMng::IsAutoDeleteBox(const std::string& remoteBoxPath) const {
    return m_settings == nullptr ? 0 : BoxInfo::IsAutoDeleteBox(*m_settings, remoteBoxPath);
}

CFileMng::path CFileMng::WriteRequestList(const std::vector<std::string>& names, const path& folder,
                                          bool voice) const {
    return RequestList::WriteRequestList(m_context, names, folder, voice);
}

void CFileMng::SetDestFolderMap(const std::vector<std::string>& names,
                                const std::vector<path>& folders) {
    m_map.SetDestFolderMap(names, folders);
}

CFileMng::path CFileMng::LookupDestFolder(const std::string& name) const {
    return m_map.LookupDestFolder(name);
}

int CFileMng::UnpackBundle(const path& destFolder, const path& bundle,
                           std::vector<std::string>* names, bool voiceFollows, bool replace,
                           bool useMap) {
    return m_bundle.UnpackBundle(destFolder, bundle, names, voiceFollows, replace,
                                 useMap ? &m_map : nullptr);
}

int CFileMng::DeleteRequestLists(const path& anyPathInsideFolder) {
    return RequestList::DeleteRequestLists(anyPathInsideFolder);
}

}  // namespace orven
