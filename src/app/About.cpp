#include "app/About.h"

#include <QMessageBox>
#include <QtGlobal>

#include "formats/JPEGImage.h"

namespace animora {

QString AboutText()
{
    return QStringLiteral(
               "<h3>Animora Pro %1</h3>"
               "<p>An editor for animated GIF pictures, by Zelqo.</p>"
               "<p>Its GIF codec and colour engine are its own.</p>"
               "<p>Built with:<br>"
               "Qt %2 &mdash; GNU LGPL version 3<br>"
               "libjpeg-turbo (JPEG library %3) &mdash; IJG licence and modified BSD licence; "
               "this software is based in part on the work of the Independent JPEG Group<br>"
               "SANE (scanner access) &mdash; GNU GPL version 2 or later with the SANE exception</p>")
        .arg(QLatin1String(kProgramVersion), QLatin1String(qVersion()))
        .arg(JPEGLibraryVersion());
}

void ShowAboutBox(QWidget* parent)
{
    QMessageBox::about(parent, "About Animora Pro", AboutText());
}

} // namespace animora
