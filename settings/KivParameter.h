// KivParameter: base of the settings records (one ini file per folder and record type, named by
// a hash of the folder path). KivParameterMutex: the lock the three programs share around every
// access to those files. KivParameterException: failures of the store. GetParamFolders,
// ReadProfileString: free helpers over the profile functions.
// Pure helpers (hash name, next candidate, folder text comparison) are declared last so that
// tests can reach them without files.
#pragma once
#include <windows.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class KivParameterException : public std::runtime_error {
public:
    explicit KivParameterException(const std::string& message) : std::runtime_error(message) {}
};

// Scoped cross-process lock. Re-entrant for the owning thread, no time-out; a mutex left behind
// by a process that died is taken over. Each object owns its own handle.
class KivParameterMutex {
public:
    KivParameterMutex(); // throws "Error KivParameterMutex CreateMutex"
    KivParameterMutex(const KivParameterMutex&) = delete;
    KivParameterMutex& operator=(const KivParameterMutex&) = delete;
    ~KivParameterMutex();

private:
    HANDLE mutex;
};

// Record kinds (the `kind` field).
enum : unsigned char {
    ParamKindTop = 0,     // a folder directly in the data directory
    ParamKindOther = 1,   // any other folder
    ParamKindDefault = 2, // the default record
    ParamKindUnset = 3,
};

// A folder argument is a path in the ANSI code page; null, and "Default" in any letter case, name
// the default record.
class KivParameter {
public:
    unsigned char kind;
    std::string directory; // the data directory with one trailing backslash
    std::string hashName;  // 14 capital letters once MakeParamHash has run
    std::string suffix;    // "." + type name + ".kiv"

    KivParameter(const char* dataDirectory, const char* typeName);

    void SetParamKind(const char* folder);
    // Finds (or, with create, makes) the folder's entry in the hash file and sets hashName.
    void MakeParamHash(const char* folder, bool create);

    int GetPrivateProfileInt(const char* section, const char* key, int defaultValue) const;
    std::string GetPrivateProfileString(const char* section, const char* key,
                                        const char* defaultValue) const;
    void WritePrivateProfileString(const char* section, const char* key, const char* value);
    void WritePrivateProfileInt(const char* section, const char* key, int value);
    // A whole section of the record file in one read: its keys and values in file order, as the
    // key-by-key reads would see them (blanks around both trimmed, one pair of quotes removed).
    std::vector<std::pair<std::string, std::string>>
    GetPrivateProfileSection(const char* section) const;
    // Replaces a whole section of the record file in one write, keys in the order given; a zero
    // result throws "Error KivParameter::WritePrivateProfileSection".
    void
    WritePrivateProfileSection(const char* section,
                               const std::vector<std::pair<std::string, std::string>>& entries);
    void DeleteParamFile();

    // Built-in defaults, overlaid by the default record, overlaid by the folder's own record.
    void LoadParam(const char* folder);
    void SaveParam(const char* folder);
    void RemoveParam(const char* folder);
    bool ExistsParam(const char* folder);
    void CopyParam(const char* targetFolder, const char* sourceFolder);

    std::string GetParamFileName() const { return directory + hashName + suffix; }
    std::string GetHashFileName() const { return directory + "KivWinPropertyHash.kiv"; }

    virtual void WriteValues() = 0;
    virtual void ReadValues() = 0;
    virtual void SetDefaultValues() {}

protected:
    // Records are values held by their owners, never deleted through a base pointer.
    ~KivParameter() = default;
    KivParameter(const KivParameter&) = default;
    KivParameter& operator=(const KivParameter&) = default;
};

// The values of section "Hash" of the hash file in dataDirectory (no trailing backslash), in file
// order: the folder of every record, "Default" included.
std::vector<std::string> GetParamFolders(const char* dataDirectory);

// GetPrivateProfileStringA into a buffer that grows until the text fits. With a null key the
// result is the key list (each name followed by a zero byte).
std::string ReadProfileString(const char* section, const char* key, const char* defaultValue,
                              const char* fileName);

// The name of the hash file's section and the length of a hash name.
inline constexpr const char* ParamHashSection = "Hash";
inline constexpr size_t ParamHashLength = 14;

// The first candidate name of a folder text: byte sums per position modulo 14, ASCII letters
// folded to capitals, then each sum as a letter A to Z.
std::string ComputeParamHash(const std::string& text);
// The candidate after name; false when every position carried (no candidate is left).
bool NextHashName(std::string& name);
// Equality of two folder texts without regard to the case of ASCII letters; a double-byte
// character is one unit and compared exactly.
bool SameFolderText(const char* a, const char* b);
// Null or "Default" in any letter case.
bool IsDefaultFolder(const char* folder);
