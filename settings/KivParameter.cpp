#include "KivParameter.h"

#include <cstdio>

#include "KivPidl.h"

namespace {

const char mutexName[] = "KivParameterMutex{700B124D-C580-4B37-A319-0FBEBB4EFBA0}";
const char defaultFolderName[] = "Default";

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Folder texts are code page 932 whatever code page the process runs under, so that all three
// programs find the same names.
bool IsLeadByte(char c) {
    return IsDBCSLeadByteEx(932, static_cast<BYTE>(c)) != 0;
}

// A key or value as the profile functions hand it out: blanks around it trimmed, and a value
// enclosed in one pair of quotes without them.
std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Unquoted(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The text the hash file stores for a folder argument.
std::string FolderText(const char* folder) {
    return IsDefaultFolder(folder) ? std::string(defaultFolderName) : std::string(folder);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Pure helpers

std::string ComputeParamHash(const std::string& text) {
    unsigned char sums[ParamHashLength] = {};
    size_t position = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A double-byte character is added as it is: only single-byte ASCII letters fold, so a
        // trail byte that happens to lie in a-z keeps its value.
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            sums[position] =
                static_cast<unsigned char>(sums[position] + static_cast<unsigned char>(text[i]));
            position = (position + 1) % ParamHashLength;
            ++i;
            sums[position] =
                static_cast<unsigned char>(sums[position] + static_cast<unsigned char>(text[i]));
        } else {
            sums[position] = static_cast<unsigned char>(
                sums[position] + static_cast<unsigned char>(FoldAscii(text[i])));
        }
        position = (position + 1) % ParamHashLength;
    }
    std::string name(ParamHashLength, 'A');
    for (size_t p = 0; p < ParamHashLength; ++p)
        name[p] = static_cast<char>('A' + sums[p] % 26);
    return name;
}

bool NextHashName(std::string& name) {
    for (size_t p = 0; p < name.size(); ++p) {
        const char next = static_cast<char>(name[p] + 1);
        if (next < 'Z') {
            name[p] = next;
            return true;
        }
        name[p] = 'A';
    }
    return false;
}

bool SameFolderText(const char* a, const char* b) {
    for (;;) {
        if (*a == '\0' || *b == '\0')
            return *a == *b;
        if (IsLeadByte(*a) || IsLeadByte(*b)) {
            if (*a != *b)
                return false;
            ++a;
            ++b;
            // The trail byte is compared exactly; a lead byte at the very end stands alone.
            if (*a == '\0' || *b == '\0')
                return *a == *b;
            if (*a != *b)
                return false;
        } else if (FoldAscii(*a) != FoldAscii(*b)) {
            return false;
        }
        ++a;
        ++b;
    }
}

bool IsDefaultFolder(const char* folder) {
    return folder == nullptr || SameFolderText(folder, defaultFolderName);
}

// ---------------------------------------------------------------------------------------------
// KivParameterMutex

KivParameterMutex::KivParameterMutex() : mutex(CreateMutexA(nullptr, FALSE, mutexName)) {
    if (mutex == nullptr)
        throw KivParameterException("Error KivParameterMutex CreateMutex");
    // WAIT_ABANDONED also makes this thread the owner: the files are taken over as the dead
    // holder left them. Only a failed wait leaves the lock unowned, and then nothing may run.
    if (WaitForSingleObject(mutex, INFINITE) == WAIT_FAILED) {
        CloseHandle(mutex);
        throw KivParameterException("Error KivParameterMutex WaitForSingleObject");
    }
}

KivParameterMutex::~KivParameterMutex() {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

// ---------------------------------------------------------------------------------------------
// Profile access

std::string ReadProfileString(const char* section, const char* key, const char* defaultValue,
                              const char* fileName) {
    std::vector<char> buffer(260);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length =
            ::GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, fileName);
        // A cut value comes back as size - 1, a cut key list as size - 2, and a value cut inside
        // a double-byte character may also end at size - 2: only a shorter result is whole.
        if (length + 2 < size)
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<std::string> GetParamFolders(const char* dataDirectory) {
    KivParameterMutex lock;
    const std::string hashFile = std::string(dataDirectory) + "\\KivWinPropertyHash.kiv";
    const std::string keys = ReadProfileString(ParamHashSection, nullptr, "", hashFile.c_str());
    std::vector<std::string> folders;
    for (size_t start = 0; start < keys.size();) {
        const size_t end = keys.find('\0', start);
        const std::string key =
            keys.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!key.empty()) {
            // An entry without a value is a free name to the hash walk, not a folder.
            std::string value =
                ReadProfileString(ParamHashSection, key.c_str(), "", hashFile.c_str());
            if (!value.empty())
                folders.push_back(std::move(value));
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return folders;
}

// ---------------------------------------------------------------------------------------------
// KivParameter

KivParameter::KivParameter(const char* dataDirectory, const char* typeName)
    : kind(ParamKindUnset), directory(std::string(dataDirectory) + "\\"),
      suffix(std::string(".") + typeName + ".kiv") {}

void KivParameter::SetParamKind(const char* folder) {
    if (IsDefaultFolder(folder)) {
        kind = ParamKindDefault;
        return;
    }
    try {
        const KivPidl directoryList(directory.c_str());
        const KivPidl folderList(folder);
        const KivPidl parentList = folderList.GetParent();
        kind = (parentList == directoryList) ? ParamKindTop : ParamKindOther;
    } catch (const KivPidlException&) {
        kind = ParamKindOther;
    }
}

void KivParameter::MakeParamHash(const char* folder, bool create) {
    const std::string text = FolderText(folder);
    const std::string hashFile = GetHashFileName();
    std::string name = ComputeParamHash(text);
    for (;;) {
        const std::string value =
            ReadProfileString(ParamHashSection, name.c_str(), "", hashFile.c_str());
        if (value.empty()) {
            if (!create)
                throw KivParameterException("Error KivParameter::MakeParamHash Read");
            if (!::WritePrivateProfileStringA(ParamHashSection, name.c_str(), text.c_str(),
                                              hashFile.c_str()))
                throw KivParameterException("Error KivParameter::MakeParamHash Write");
            break;
        }
        if (SameFolderText(value.c_str(), text.c_str()))
            break;
        if (!NextHashName(name))
            throw KivParameterException("Error KivParameter::MakeParamHash Hash");
    }
    hashName = name;
}

int KivParameter::GetPrivateProfileInt(const char* section, const char* key,
                                       int defaultValue) const {
    return static_cast<int>(
        ::GetPrivateProfileIntA(section, key, defaultValue, GetParamFileName().c_str()));
}

std::string KivParameter::GetPrivateProfileString(const char* section, const char* key,
                                                  const char* defaultValue) const {
    return ReadProfileString(section, key, defaultValue, GetParamFileName().c_str());
}

void KivParameter::WritePrivateProfileString(const char* section, const char* key,
                                             const char* value) {
    if (!::WritePrivateProfileStringA(section, key, value, GetParamFileName().c_str()))
        throw KivParameterException("Error KivParameter::WritePrivateProfileString");
}

void KivParameter::WritePrivateProfileInt(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    WritePrivateProfileString(section, key, text);
}

std::vector<std::pair<std::string, std::string>>
KivParameter::GetPrivateProfileSection(const char* section) const {
    const std::string fileName = GetParamFileName();
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        length = ::GetPrivateProfileSectionA(section, buffer.data(), size, fileName.c_str());
        // A section that did not fit comes back as size - 2.
        if (length + 2 < size)
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t start = 0; start < length;) {
        const std::string line(buffer.data() + start);
        start += line.size() + 1;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        entries.emplace_back(Trimmed(line.substr(0, equals)),
                             Unquoted(Trimmed(line.substr(equals + 1))));
    }
    return entries;
}

void KivParameter::WritePrivateProfileSection(
    const char* section, const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string block;
    for (const auto& [key, value] : entries) {
        block += key;
        block += '=';
        block += value;
        block += '\0';
    }
    block += '\0';
    if (!::WritePrivateProfileSectionA(section, block.c_str(), GetParamFileName().c_str()))
        throw KivParameterException("Error KivParameter::WritePrivateProfileSection");
}

void KivParameter::DeleteParamFile() {
    DeleteFileA(GetParamFileName().c_str());
}

void KivParameter::LoadParam(const char* folder) {
    // The kind is resolved once, outside the lock: it reads no settings file, and the defaults
    // and the keys read must follow the same kind.
    SetParamKind(folder);
    const unsigned char folderKind = kind;
    SetDefaultValues();
    // The default record lies under every folder's own record; for the default record itself a
    // second read would only repeat the same values (and double an appended list).
    if (!IsDefaultFolder(folder)) {
        try {
            KivParameterMutex lock;
            kind = ParamKindDefault;
            MakeParamHash(nullptr, false);
            ReadValues();
        } catch (const KivParameterException&) {
        }
    }
    try {
        KivParameterMutex lock;
        kind = folderKind;
        MakeParamHash(folder, false);
        ReadValues();
    } catch (const KivParameterException&) {
    }
    kind = folderKind;
}

void KivParameter::SaveParam(const char* folder) {
    KivParameterMutex lock;
    SetParamKind(folder);
    MakeParamHash(folder, true);
    WriteValues();
    // A last write of its own after the record, so that a watcher of the data directory sees a
    // change once the record is complete.
    const std::string workFile = GetParamFileName() + ".work";
    ::WritePrivateProfileStringA("WorkSection", "WorkKey", "WorkValue", workFile.c_str());
    DeleteFileA(workFile.c_str());
}

void KivParameter::RemoveParam(const char* folder) {
    SetParamKind(folder);
    try {
        KivParameterMutex lock;
        MakeParamHash(folder, true);
        ::WritePrivateProfileStringA(ParamHashSection, hashName.c_str(), nullptr,
                                     GetHashFileName().c_str());
        DeleteParamFile();
    } catch (const KivParameterException&) {
    }
}

bool KivParameter::ExistsParam(const char* folder) {
    try {
        KivParameterMutex lock;
        MakeParamHash(folder, false);
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(GetParamFileName().c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        FindClose(search);
        return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } catch (const KivParameterException&) {
        return false;
    }
}

void KivParameter::CopyParam(const char* targetFolder, const char* sourceFolder) {
    KivParameterMutex lock;
    LoadParam(sourceFolder);
    SaveParam(targetFolder);
}
