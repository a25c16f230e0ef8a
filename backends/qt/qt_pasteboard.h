// SPDX-License-Identifier: MIT
#pragma once
// The drag pasteboard in this process, and its form on the way through Qt's drag and drop
// (QMimeData). The string type is plain text, so a drag of rows carries its archive as text to
// other programs and text from other programs reaches the table's checks; every other type
// travels under a MIME type of our own.

#include "platform/pasteboard.h"

#include <QString>

#include <map>
#include <memory>
#include <set>

class QMimeData;

namespace velmora::qt {

QString mimeTypeForPasteboardType(const std::string& type);

class QtPasteboard final : public Pasteboard {
  public:
    void declareTypes(const std::vector<std::string>& types) override;
    bool setDataForType(const Data& data, const std::string& type) override;
    std::optional<Data> dataForType(const std::string& type) const override;

    // The declared types that hold data, as MIME data for a drag.
    std::unique_ptr<QMimeData> toMimeData() const;

  private:
    std::set<std::string> declared_;
    std::map<std::string, Data> data_;
};

// What a drop carries, read through the pasteboard interface. Declaring and writing are
// refused: a drop is read only.
class MimePasteboard final : public Pasteboard {
  public:
    explicit MimePasteboard(const QMimeData* mime) : mime_(mime) {}
    void declareTypes(const std::vector<std::string>&) override {}
    bool setDataForType(const Data&, const std::string&) override { return false; }
    std::optional<Data> dataForType(const std::string& type) const override;

  private:
    const QMimeData* mime_;
};

// Whether MIME carries any of TYPES.
bool carriesAnyType(const QMimeData* mime, const std::vector<std::string>& types);

} // namespace velmora::qt
