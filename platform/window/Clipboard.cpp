#include "platform/window/Clipboard.h"

#include "platform/window/DisplayDriver.h"
#include "platform/window/WindowManager.h"

bool Clipboard::SetText(std::string_view text) {
    return WindowManager::Instance().Driver()->SetClipboardText(std::string(text));
}

std::optional<std::string> Clipboard::Text() { return WindowManager::Instance().Driver()->ClipboardText(); }
