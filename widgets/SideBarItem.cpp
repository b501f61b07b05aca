#include "widgets/SideBarItem.h"

SideBarItem::SideBarItem(LPCSTR text, int image, DWORD data)
    : image(image), label(text ? std::optional<std::string>(text) : std::nullopt), data(data) {}
