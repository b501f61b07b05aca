#pragma once
// The process's eight drawing styles, in pairs that draw alike: 0/1, 2/3, 4/5 and 6/7, the even
// one of each pair drawing its own popup border. Style 2 is the one in use unless the
// application chooses another. Used on the user-interface thread only.

#include <memory>
#include <vector>

#include "platform/kernel/Immortal.h"
#include "widgets/IconMenuStyle.h"

class IconMenuStyleRegistry {
public:
    static IconMenuStyleRegistry& Instance();

    IconMenuStyle* Find(int id) const;
    IconMenuStyle& Active() const { return *active_; }
    // Makes style `id` the one in use: the previous id, or -1 (and nothing changes) when there is
    // no such style.
    int SetActive(int id);

private:
    template <class T>
    friend class Immortal;
    IconMenuStyleRegistry();

    std::vector<std::unique_ptr<IconMenuStyle>> styles_;
    IconMenuStyle* active_ = nullptr;
};
