// SPDX-License-Identifier: MIT
#include "menu/login_item.h"

namespace velmora {

void BundleLoginItem::addToLoginItems() {
    if (!loginItems_)
        return;
    auto list = loginItems_->create();
    if (!list)
        return;
    list->appendItem(application_.bundleURL());
}

void BundleLoginItem::removeFromLoginItems() {
    if (!loginItems_)
        return;
    auto list = loginItems_->create();
    if (!list)
        return;
    if (LoginItemPtr item = itemRefWithListRef(*list))
        list->removeItem(*item);
}

LoginItemPtr BundleLoginItem::itemRefWithListRef(LoginItemsList& list) const {
    const std::string bundleURL = application_.bundleURL();
    const std::vector<LoginItemPtr> snapshot = list.snapshot();
    for (const auto& item : snapshot) {
        if (!item)
            continue;
        auto url = list.resolvedPath(*item);
        if (url && *url == bundleURL)
            return item;
    }
    return nullptr;
}

} // namespace velmora
