#pragma once
// What the file dialogs show of a directory: its folders and files, each sorted by name without
// regard to case, read once, then filtered by patterns as often as the user changes them. Also
// the path arithmetic the dialogs do on what the user types.

#include <string>
#include <vector>

class DirectoryListing {
public:
    struct Entry {
        std::string name;
        bool folder = false;
    };

    // Reads `path`; false, with the errno in Error(), when it cannot be read. Names starting with
    // a dot are left out, as the desktop hides them.
    bool Read(const std::string& path);
    int Error() const { return error_; }
    const std::string& Path() const { return path_; }
    // Every folder, then the files matching one of `patterns` ("*.txt;*.log"; "*.*" is every
    // file), in that order.
    std::vector<const Entry*> Shown(const std::string& patterns) const;

    // True when `name` matches one of `patterns`, without regard to case.
    static bool Matches(const std::string& name, const std::string& patterns);
    // True when one of `patterns` takes every file.
    static bool TakesAll(const std::string& patterns);
    // `path` made absolute against `base`, "~" the home directory, "." and ".." resolved, no
    // repeated or trailing slashes.
    static std::string Resolve(const std::string& base, const std::string& path);
    static std::string Parent(const std::string& path);  // "/" is its own parent
    static std::string Name(const std::string& path);    // after the last slash
    static bool IsDirectory(const std::string& path);
    static bool Exists(const std::string& path);
    // The platform's words for why a directory cannot be read.
    static std::string Reason(int error);

private:
    std::string path_;
    std::vector<Entry> folders_, files_;
    int error_ = 0;
};
