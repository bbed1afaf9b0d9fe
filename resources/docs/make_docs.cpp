// Renders the README to the HTML page that "Help" opens: make-docs README.md OUTPUT.html
// Relative image paths stay as written; the build copies the images beside the page.
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-docs README.md OUTPUT.html\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make-docs: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    document.setMarkdown(QString::fromUtf8(source.readAll()), QTextDocument::MarkdownDialectGitHub);
    document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Tickwell"));
    // The page is read in a browser: its own fonts and sizes, not those of the machine that built it.
    QString html = document.toHtml();
    const QString fixedFamily = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    html.replace(QStringLiteral("font-family:'%1';").arg(fixedFamily), QStringLiteral("font-family:monospace;"));
    html.replace(QRegularExpression(QStringLiteral("<body style=\"[^\"]*\">")), QStringLiteral("<body style=\"font-family:sans-serif; max-width:50em;\">"));
    // Headings with the browser's spacing rather than none.
    html.replace(QRegularExpression(QStringLiteral("<h([1-6]) style=\"[^\"]*\">")), QStringLiteral("<h\\1>"));

    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(html.toUtf8()) < 0 || !output.commit()) {
        std::fprintf(stderr, "make-docs: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
