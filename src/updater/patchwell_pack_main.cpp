// patchwell-pack: the maker builds an update package and releases it into
// the service server's content folder.

#include "updater/package_release.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace zorvane;

namespace {

const char usage[] = "usage: patchwell-pack [--sign KEY] CONTENT-DIR NAME STAMP SCRIPT [FILE]...\n";

const char help[] = "\n"
                    "Builds the update package NAME from the installation script SCRIPT and the\n"
                    "files it installs, stores it in the service server's content folder as\n"
                    "CONTENT-DIR/packages/NAME.md and releases it with the update stamp STAMP:\n"
                    "the line NAME|STAMP|/packages/NAME.md joins upnew/index.txt, and upnew/S.txt\n"
                    "is rewritten for every released stamp S to hold the packages released after\n"
                    "it (empty for STAMP, the newest). Installations whose recorded stamp is S\n"
                    "are offered those; any other stamp gets the whole list.\n"
                    "\n"
                    "  --sign KEY  sign the package with the minisign secret key KEY, leaving\n"
                    "              packages/NAME.md.minisig beside it (minisign asks for the\n"
                    "              key's password here, unless it was made without one, -W).\n"
                    "              Its trusted comment, \"zorvane-package name=NAME stamp=STAMP\",\n"
                    "              binds it to this release. Installations take no package\n"
                    "              without a signature of the key in their setting/update.pub.\n"
                    "\n"
                    "NAME is shown, recorded as the installed version and used as a file name:\n"
                    "no \"/\", \"\\\", \"..\", \"|\" or \"<br>\", no control characters, no blank at\n"
                    "either end, no \".\" at the start. STAMP is letters, digits, \".\", \"_\" and\n"
                    "\"-\", not beginning with \".\", and not \"index\". Neither may have been released\n"
                    "before, and STAMP must come after every stamp released before (digits\n"
                    "compare as numbers, other stamps as bytes). No piece may hold the package\n"
                    "marker, the bytes 00 00 00 06 03 04 06 03 05 06.\n"
                    "\n"
                    "On an installation, Patchwell:\n"
                    "  - saves SCRIPT as update/0.bat and the k-th FILE as update/k (the number\n"
                    "    alone, no extension) in the application folder;\n"
                    "  - runs the script with /bin/sh in the application folder (sh update/0.bat);\n"
                    "    the script moves the numbered files from \"update/\" into place, e.g.\n"
                    "        mv -f update/1 Zorvane && chmod 755 Zorvane\n"
                    "        mv -f update/2 data/same.dat\n"
                    "    Write it with LF line ends;\n"
                    "  - waits for it at most five minutes, then ends it and everything it\n"
                    "    started. It must exit 0: any other status stops the update;\n"
                    "  - installs pending packages in list order, each script ending before the\n"
                    "    next package's files are written (the former package's numbered files\n"
                    "    are removed first), and records vision=NAME and update=STAMP (section\n"
                    "    vision of setting/config.ini) as soon as its script ended with 0;\n"
                    "  - skips a package whose STAMP is not newer than the recorded one.\n"
                    "\n"
                    "Exit status: 0 released, 1 failed (nothing released), 2 usage error.\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);

    PackageRelease release;
    while (!args.isEmpty() && args.first().startsWith(u'-')) {
        const QString option = args.takeFirst();
        if (option == u"--help" || option == u"-h") {
            out << usage << help;
            return 0;
        }
        if (option == u"--")
            break;
        if (option != u"--sign" || args.isEmpty()) {
            err << usage << "(see --help)\n";
            return 2;
        }
        release.signingKey = args.takeFirst();
    }
    if (args.size() < 4) {
        err << usage << "(see --help)\n";
        return 2;
    }
    release.contentFolder = args.takeFirst();
    release.name = args.takeFirst();
    release.stamp = args.takeFirst();
    release.scriptPath = args.takeFirst();
    release.filePaths = args;

    const ReleaseResult result = releasePackage(release);
    for (const QString &warning : result.warnings)
        err << "patchwell-pack: warning: " << warning << '\n';
    if (!result.released) {
        err << "patchwell-pack: " << result.error << '\n';
        return 1;
    }
    out << "released " << result.listLine << '\n' << "package: " << result.packageFile << '\n';
    if (!release.signingKey.isEmpty())
        out << "signature: " << result.packageFile << ".minisig\n";
    return 0;
}
