// SPDX-License-Identifier: Apache-2.0
// The small read-only preview under the Batch table while "Values are templates" is ticked: for
// the first files of the list (the first a batch run changes), each checked row's template filled
// in from the file as it is (change/batch_templates.h), or why the templates are refused. Hidden
// while the box is not ticked.
#pragma once

#include <QLabel>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "change/batch_settings.h"

class QTimer;

namespace quorvane::app {

class TemplatePreview : public QLabel {
    Q_OBJECT
public:
    static constexpr std::size_t kFileCount = 3;

    // A file to preview: its path and its number in the batch run (from 1).
    struct File {
        std::string path;
        std::size_t number = 1;
    };

    explicit TemplatePreview(QWidget* parent = nullptr);

    // Where the preview takes the batch settings and the files from.
    void setSources(std::function<change::BatchSettings()> settings, std::function<std::vector<File>()> files);
    // Shows the preview again once the event loop turns (several changes in a row read the files once).
    void refreshSoon();
    // Shows the preview again now.
    void refresh();

protected:
    // The page's layout gives a label the height of its text at its hinted width; this one asks
    // for the height its wrapped text needs at the width it has.
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();

    std::function<change::BatchSettings()> settings_;
    std::function<std::vector<File>()> files_;
    QTimer* refreshTimer_;
};

}  // namespace quorvane::app
