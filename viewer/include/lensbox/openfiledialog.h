#pragma once

#include "lensbox/lensbox_export.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace lensbox {

// The open-file dialog the control asks for a picture with. It is set up
// field by field and then shown; afterwards `fileName` holds the chosen path,
// or is empty when the user cancelled. Whoever answers can be replaced, so a
// test can script the user's choice without a modal dialog.
class LENSBOX_EXPORT OpenFileDialog : public QObject
{
    Q_OBJECT

public:
    struct Request {
        QString initialFolder;
        QString fileName;
        QString filter; // "Description|*.a;*.b" pairs joined by "|"
        QString title;
    };
    // Returns the chosen path, or an empty text for "cancelled".
    using Chooser = std::function<QString(const Request &)>;

    explicit OpenFileDialog(QWidget *owner);

    void setInitialFolder(const QString &folder) { m_request.initialFolder = folder; }
    void setFileName(const QString &name) { m_request.fileName = name; }
    void setFilter(const QString &filter) { m_request.filter = filter; }
    void setTitle(const QString &title) { m_request.title = title; }
    QString fileName() const { return m_request.fileName; }

    void showOpen();

    void setChooser(Chooser chooser);

private:
    // "Description|*.a;*.b" as a Qt file dialog filter: "Description (*.a *.b)".
    static QString toQtFilter(const QString &filter);

    QString askWithFileDialog(const Request &request) const;

    QWidget *m_owner;
    Request m_request;
    Chooser m_chooser;
};

} // namespace lensbox
