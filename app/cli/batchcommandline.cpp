#include "batchcommandline.h"

#include "adjustmentcodes.h"
#include "albumlayout.h"
#include "batchsettings.h"
#include "errorreport.h"
#include "imagelisting.h"
#include "numbertext.h"
#include "platformcolor.h"
#include "runtimeerror.h"
#include "slidesize.h"
#include "userprompts.h"

#include <tovin/numeric.h>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace tovin {
namespace {

constexpr int kDescriptionLimit = 250;
constexpr int kMostWorkers = 256;

const QMap<QString, BatchMode> kModes{
    {QStringLiteral("scale"), BatchMode::ScaleOnly},
    {QStringLiteral("album"), BatchMode::ScaleAndAlbum},
    {QStringLiteral("album-only"), BatchMode::AlbumOnly},
};

// The field checks speak for a window's field; on the command line a refusal
// says which option it is about ("--width: Number must be between 1 and
// 200.").
class OptionPrompts final : public UserPrompts
{
public:
    OptionPrompts(const QString &option, UserPrompts &prompts)
        : m_prefix(option + QStringLiteral(": "))
        , m_prompts(prompts)
    {
    }

    PromptAnswer showMessage(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons) override
    {
        return m_prompts.showMessage(m_prefix + text, title, icon, buttons);
    }
    void showNotice(const QString &text, const QString &title) override
    {
        m_prompts.showNotice(m_prefix + text, title);
    }
    OverwriteAnswer askOverwrite(const QString &text) override { return m_prompts.askOverwrite(text); }
    QString chooseFolder(const QString &prompt, const QString &startFolder) override
    {
        return m_prompts.chooseFolder(prompt, startFolder);
    }
    int chooseColor(int initialColor) override { return m_prompts.chooseColor(initialColor); }
    void openDocument(const QString &path) override { m_prompts.openDocument(path); }

private:
    QString m_prefix;
    UserPrompts &m_prompts;
};

class Checker
{
public:
    Checker(ScreenTwips screen, UserPrompts &prompts)
        : m_screen(screen)
        , m_prompts(prompts)
    {
    }

    bool refuse(const QString &text)
    {
        m_prompts.showMessage(text, QString(), PromptIcon::Exclamation, PromptButtons::Ok);
        return false;
    }
    bool field(const QString &option, const QString &name, const QString &text)
    {
        OptionPrompts prompts(option, m_prompts);
        return ValidateAdjustmentField(name, text, m_screen, prompts);
    }
    bool characters(const QString &option, const QString &text, bool isPath)
    {
        OptionPrompts prompts(option, m_prompts);
        return CheckForbiddenCharacters(text, isPath, prompts);
    }

private:
    ScreenTwips m_screen;
    UserPrompts &m_prompts;
};

bool readQuality(const QString &text, Checker &check, std::int32_t *saveQuality)
{
    for (int i = 0; i < kQualityEntries.size(); ++i) {
        if (kQualityEntries.at(i).compare(text, Qt::CaseInsensitive) == 0) {
            *saveQuality = *saveQualityForPosition(i);
            return true;
        }
    }
    if (!check.field(QStringLiteral("--quality"), QStringLiteral("qualityCombo"), text))
        return false;
    *saveQuality = std::int32_t(roundHalfEven(*parseNumberText(text)));
    return true;
}

bool readFilter(const QString &text, Checker &check, std::int32_t *filter)
{
    for (int i = 0; i < kFilterEntries.size(); ++i) {
        if (kFilterEntries.at(i).compare(text, Qt::CaseInsensitive) == 0) {
            *filter = filterCodeForPosition(i);
            return true;
        }
    }
    return check.refuse(QStringLiteral("Unknown filter: %1 (none, box, bilinear, bicubic or bspline)").arg(text));
}

bool readLayoutValue(const QString &assignment, Checker &check, AlbumLayout &layout)
{
    const qsizetype equals = assignment.indexOf(u'=');
    const QString name = assignment.left(equals);
    const QString value = equals < 0 ? QString() : assignment.mid(equals + 1);
    if (layout.swatches.contains(name)) {
        const std::optional<std::int32_t> color = colorFromHexRGB(value);
        if (!color)
            return check.refuse(QStringLiteral("%1 takes a colour as six hexadecimal digits RRGGBB").arg(name));
        layout.swatches[name] = *color;
        return true;
    }
    if (!layout.fields.contains(name))
        return check.refuse(QStringLiteral("Unknown album field: %1").arg(name));
    if (!check.field(QStringLiteral("--set ") + name, name, value))
        return false;
    layout.fields[name] = value;
    return true;
}

BatchItem imageItem(const QFileInfo &file)
{
    // Its date is read by the run, when an album needs it.
    return {QDir::cleanPath(file.absoluteFilePath()), true, ListEntryKind::Image, {}};
}

bool readInputs(const QStringList &paths, Checker &check, QList<BatchItem> &items)
{
    for (const QString &path : paths) {
        const QFileInfo input(path);
        if (input.isFile()) {
            items.append(imageItem(input));
            continue;
        }
        if (input.exists() && !input.isDir())
            return check.refuse(QStringLiteral("Not a regular file: %1").arg(path));
        if (!input.isDir())
            return check.refuse(QStringLiteral("No such file or folder: %1").arg(path));
        try {
            for (const ListEntry &entry : listFolderEntries(QDir::cleanPath(input.absoluteFilePath()))) {
                if (entry.kind == ListEntryKind::Image)
                    items.append({entry.key, true, entry.kind, entry.dateText});
            }
        } catch (const RuntimeError &error) {
            return check.refuse(errorReportText(error) + QStringLiteral(": ") + path);
        }
    }
    return true;
}

} // namespace

QString batchUsage()
{
    return QStringLiteral(
        "Usage:\n"
        "  tovin-batch --dest DIR [--name BASE] [--mode scale|album|album-only]\n"
        "              [--width PCT] [--height PCT] [--bright N] [--contrast N]\n"
        "              [--filter none|box|bilinear|bicubic|bspline] [--quality 100|low|med|high|N]\n"
        "              [--caption TEXT] [--set FIELD=VALUE]... [--overwrite ask|always]\n"
        "              [--jobs N] [--fast] [--srgb] [--keep-private]\n"
        "              [--slides original|fit:N] [--open] IMAGE_OR_FOLDER...\n"
        "  tovin-batch --info FILE\n"
        "\n"
        "Scales the given JPEG files (a folder stands for its JPEG files in name order) into DIR,\n"
        "and in the album modes builds a Sorvel album there. Images with saved adjustments in the\n"
        "Record List are scaled with those; the others with --width, --height, --bright and\n"
        "--contrast (defaults 100, 100, 0, 0). --set sets an album layout field (slide_x ... caption_h,\n"
        "or a colour such as thumb_bg=FF0000); unset fields take the values last stored by the\n"
        "batch window. Album positions and sizes are checked against a 1920 x 1080 screen.\n"
        "--fast lets the JPEG decoder shrink a reduced image by 1/2, 1/4 or 1/8 first (never below\n"
        "its new size) and resamples only the rest: much faster, the same sizes, slightly different\n"
        "pixels.\n"
        "--srgb converts the colours of photos with a colour profile (Adobe RGB, Display P3, ...)\n"
        "to sRGB; without it they keep their profile. Every file written or copied leaves out the\n"
        "GPS position and other location fields, serial numbers, the owner's name, maker notes\n"
        "and thumbnails, unless --keep-private is given. --slides fit:N (N from 320 to 8192) makes\n"
        "the album's slides fit within N x N pixels, with the scaling's brightness, contrast,\n"
        "filter and quality, never enlarged; the default, original, copies the original files.\n"
        "\n"
        "Images that cannot be read or decoded are passed over and listed on standard error at\n"
        "the end.\n"
        "\n"
        "Exit status: 0 done, 1 stopped by an error, 2 refused input, 3 cancelled,\n"
        "4 finished, but some images were not written.\n");
}

std::optional<BatchCommand> parseBatchCommandLine(const QStringList &arguments, const SettingsStore &settings,
                                                  ScreenTwips screen, UserPrompts &prompts)
{
    Checker check(screen, prompts);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption dest(QStringLiteral("dest"), {}, QStringLiteral("DIR"));
    const QCommandLineOption name(QStringLiteral("name"), {}, QStringLiteral("BASE"));
    const QCommandLineOption mode(QStringLiteral("mode"), {}, QStringLiteral("MODE"), QStringLiteral("scale"));
    const QCommandLineOption width(QStringLiteral("width"), {}, QStringLiteral("PCT"), QStringLiteral("100"));
    const QCommandLineOption height(QStringLiteral("height"), {}, QStringLiteral("PCT"), QStringLiteral("100"));
    const QCommandLineOption bright(QStringLiteral("bright"), {}, QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption contrast(QStringLiteral("contrast"), {}, QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption filter(QStringLiteral("filter"), {}, QStringLiteral("NAME"), QStringLiteral("none"));
    const QCommandLineOption quality(QStringLiteral("quality"), {}, QStringLiteral("Q"), QStringLiteral("100"));
    const QCommandLineOption caption(QStringLiteral("caption"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption set(QStringLiteral("set"), {}, QStringLiteral("FIELD=VALUE"));
    const QCommandLineOption overwrite(QStringLiteral("overwrite"), {}, QStringLiteral("WHEN"), QStringLiteral("ask"));
    const QCommandLineOption jobs(QStringLiteral("jobs"), {}, QStringLiteral("N"),
                                  QString::number(QThread::idealThreadCount()));
    const QCommandLineOption fast(QStringLiteral("fast"), {});
    const QCommandLineOption srgb(QStringLiteral("srgb"), {});
    const QCommandLineOption keepPrivate(QStringLiteral("keep-private"), {});
    const QCommandLineOption slides(QStringLiteral("slides"), {}, QStringLiteral("CHOICE"), QStringLiteral("original"));
    const QCommandLineOption open(QStringLiteral("open"), {});
    const QCommandLineOption info(QStringLiteral("info"), {}, QStringLiteral("FILE"));
    const QCommandLineOption help({QStringLiteral("help"), QStringLiteral("h")}, {});
    parser.addOptions({dest, name,      mode, width, height, bright,      contrast, filter, quality, caption,
                       set,  overwrite, jobs, fast,  srgb,   keepPrivate, slides,   open,   info,    help});

    if (!parser.parse(QStringList{QStringLiteral("tovin-batch")} + arguments)) {
        check.refuse(parser.errorText() + QStringLiteral("\n\n") + batchUsage());
        return std::nullopt;
    }

    BatchCommand command;
    if (parser.isSet(help)) {
        command.action = BatchCommand::Action::Help;
        return command;
    }
    if (parser.isSet(info)) {
        command.action = BatchCommand::Action::Info;
        command.infoFile = parser.value(info);
        return command;
    }
    if (!parser.isSet(dest)) {
        check.refuse(QStringLiteral("--dest is required\n\n") + batchUsage());
        return std::nullopt;
    }

    // The album layout the batch window last stored, changed by --set.
    BatchSettings values = loadBatchSettings(settings);
    values.destination = parser.value(dest);
    values.baseName = parser.value(name);
    // Only the command line chooses these, never what the window stored.
    values.fastReduction = parser.isSet(fast);
    values.convertToSrgb = parser.isSet(srgb);
    values.removePrivateData = !parser.isSet(keepPrivate);
    const std::optional<int> slideChoice = parseSlideChoice(parser.value(slides));
    MainAdjustments adjustments;
    QList<BatchItem> items;
    adjustments.width = parser.value(width);
    adjustments.height = parser.value(height);
    adjustments.brightness = parser.value(bright);
    adjustments.contrast = parser.value(contrast);
    adjustments.description = parser.value(caption);

    bool accepted = check.characters(QStringLiteral("--dest"), values.destination, true)
        && check.characters(QStringLiteral("--name"), values.baseName, false);
    accepted = accepted
        && (kModes.contains(parser.value(mode))
            || check.refuse(QStringLiteral("Unknown mode: %1 (scale, album or album-only)").arg(parser.value(mode))));
    accepted = accepted && check.field(QStringLiteral("--width"), QStringLiteral("widthInput"), adjustments.width)
        && check.field(QStringLiteral("--height"), QStringLiteral("heightInput"), adjustments.height)
        && check.field(QStringLiteral("--bright"), QStringLiteral("brightInput"), adjustments.brightness)
        && check.field(QStringLiteral("--contrast"), QStringLiteral("contrastInput"), adjustments.contrast)
        && readFilter(parser.value(filter), check, &adjustments.selectedFilter)
        && readQuality(parser.value(quality), check, &adjustments.saveQuality);
    accepted = accepted
        && (adjustments.description.size() <= kDescriptionLimit
            || check.refuse(QStringLiteral("The description holds more than %1 characters").arg(kDescriptionLimit)));
    accepted = accepted
        && (slideChoice
            || check.refuse(QStringLiteral("--slides takes original or fit:N, not %1. ").arg(parser.value(slides))
                            + slideSideRangeText()));
    for (const QString &assignment : parser.values(set))
        accepted = accepted && readLayoutValue(assignment, check, values.layout);

    const QString when = parser.value(overwrite);
    accepted = accepted
        && (when == QLatin1String("ask") || when == QLatin1String("always")
            || check.refuse(QStringLiteral("--overwrite takes ask or always, not %1").arg(when)));
    bool isNumber = false;
    command.workers = parser.value(jobs).toInt(&isNumber);
    accepted = accepted
        && ((isNumber && command.workers >= 1 && command.workers <= kMostWorkers)
            || check.refuse(QStringLiteral("--jobs takes a whole number from 1 to %1").arg(kMostWorkers)));
    accepted = accepted && readInputs(parser.positionalArguments(), check, items);
    if (!accepted)
        return std::nullopt;

    command.request = batchRequest(values, kModes.value(parser.value(mode)), items, adjustments);
    command.request.slidesFitWithin = *slideChoice;
    command.overwrite = when == QLatin1String("always") ? OverwritePolicy::Always : OverwritePolicy::Ask;
    command.opensResult = parser.isSet(open);
    return command;
}

} // namespace tovin
