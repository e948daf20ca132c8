// SPDX-License-Identifier: MIT
// The poem and poet picture viewers.
#pragma once

#include "core/result.h"
#include "core/seams.h"
#include "ui/viewers/viewer_geometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;

namespace nupew {

class ClickLabel;

enum class PictureKind { Poem, Poet };

class PictureViewer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureViewer)
public:
    explicit PictureViewer(PictureKind kind, QWidget *parent = nullptr);

    // Opens the picture of `poem`: looks it up in `folder` (or the working
    // folder) and then in ours, shows it at its own size in a new viewer or at
    // the open viewer's width; a missing file is told through `dialogs`.
    void Open(const QString &folder, int poem, bool boardNormal, Dialogs &dialogs);

    // Opens the picture in `viewer`, made when there is none. Opened from a
    // box that ends the game, the viewer goes over that box, modal itself, so
    // that it can be looked at and closed.
    static void Show(QPointer<PictureViewer> &viewer, PictureKind kind, const QString &folder,
                     int poem, bool boardNormal, Dialogs &dialogs);

    const ViewerGeometry &Geometry() const { return geometry_; }
    QString LoadedFile() const { return loadedFile_; }
    bool HasPicture() const { return !picture_.isNull(); }

    // The names a picture is looked up under, in order.
    static QStringList Candidates(const QString &folder, PictureKind kind, int poem);
    // The folders of the pictures shipped with the program, each ending in '/',
    // searched after the player's folder; tests point them elsewhere.
    static QStringList SharedFolders();
    static void SetSharedFolders(const QStringList &folders);
    // Reads a picture, refusing anything too large to be a real one.
    static Result<QImage> ReadPicture(const QString &path);
    // What the viewer says of the last picture it could not show; empty when none.
    QString Problem() const;
    // Files larger than this are refused from their size alone, before any read.
    static constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Apply();

    PictureKind kind_;
    ViewerGeometry geometry_;
    QImage picture_;
    QString loadedFile_;
    ClickLabel *image_ = nullptr;
    QPushButton *closeButton_ = nullptr;
    QMenu *menu_ = nullptr;
    QLabel *problem_ = nullptr;
    bool applying_ = false;
};

} // namespace nupew
