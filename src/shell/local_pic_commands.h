#pragma once

#include <QObject>

class QPushButton;

namespace zorvane {

class CommandContext;
class LocalPictures;
struct LocalPicturesResult;

// Saves the article's pictures into a new folder of "img", compressed, for
// uploading to the site; the article itself stays as it is.
class LocalPicCommands : public QObject
{
    Q_OBJECT

public:
    explicit LocalPicCommands(CommandContext &context);

    QPushButton *cmdLocalPic = nullptr;

private Q_SLOTS:
    void cmdLocalPic_clicked();

private:
    void pictures_finished(const LocalPicturesResult &result);

    CommandContext &m_context;
    LocalPictures *m_pictures;
};

} // namespace zorvane
