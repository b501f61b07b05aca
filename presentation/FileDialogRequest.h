#pragma once
// What an open or save dialog is asked to show, as data: the program's user-interface layer
// installs the prompt that turns it into the system's dialog, so that files can be read and
// written without a window (tests install their own prompt, or none: then every question is
// answered with cancel).

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct FileDialogRequest {
    bool save = true;
    std::string defaultExtension;  // without the dot; empty: none
    std::string fileName;          // the initial name
    bool hideReadOnly = true;
    bool overwritePrompt = true;
    bool explorer = false;
    std::vector<std::pair<std::string, std::string>> filters;  // description, pattern

    // The Export command's save dialog.
    static FileDialogRequest ForExport() {
        FileDialogRequest request;
        request.defaultExtension = "txt";
        request.explorer = true;
        request.filters = {{"Text files(*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}};
        return request;
    }

    // The question of a text file without a path; with a default extension, a filter of that
    // extension and one of every file, else none.
    static FileDialogRequest ForTextFile(bool save, const std::string& defaultExtension) {
        FileDialogRequest request;
        request.save = save;
        request.defaultExtension = defaultExtension;
        if (!defaultExtension.empty())
            request.filters = {{defaultExtension + "-files (*." + defaultExtension + ")", "*." + defaultExtension},
                               {"All Files (*.*)", "*.*"}};
        return request;
    }

    // True with the chosen full path when the user confirmed.
    using Prompt = std::function<bool(const FileDialogRequest&, std::string& path)>;
    static void SetPrompt(Prompt prompt) { PromptSlot() = std::move(prompt); }
    bool Ask(std::string& path) const {
        const Prompt& prompt = PromptSlot();
        return prompt && prompt(*this, path);
    }

private:
    // Set at start-up and by tests on the user-interface thread, read there only.
    static Prompt& PromptSlot() {
        static Prompt prompt;
        return prompt;
    }
};
