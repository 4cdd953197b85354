#include "Import.h"

#include "core/Codecs.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

namespace {

// ---- GIFT -----------------------------------------------------------------------------------

// Where the first character of Chars stands at From or later that no backslash escapes, or -1.
qsizetype Unescaped(const QString &text, const QString &chars, qsizetype from = 0)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
            continue;
        }
        if (chars.contains(text[i]))
            return i;
    }
    return -1;
}

QString GiftText(QString text)
{
    text = text.trimmed();
    bool html = false;
    static const QRegularExpression format(QStringLiteral("^\\[(html|plain|moodle|markdown)\\]"));
    if (const QRegularExpressionMatch m = format.match(text); m.hasMatch()) {
        html = m.captured(1) == QStringLiteral("html");
        text = text.mid(m.capturedLength());
    }
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == u'n' ? QChar(u'\n') : text[i];
        } else {
            out += text[i];
        }
    }
    return html ? PlainOfHtml(out) : out.trimmed();
}

// The answers of a block without its general feedback ("####..." at the end).
QString WithoutGeneralFeedback(const QString &answers)
{
    for (qsizetype at = Unescaped(answers, QStringLiteral("#")); at >= 0;
         at = Unescaped(answers, QStringLiteral("#"), at + 1))
        if (answers.mid(at, 4) == QStringLiteral("####"))
            return answers.left(at).trimmed();
    return answers;
}

BankImport ReadGift(const QString &source)
{
    BankImport bank;
    QStringList blocks{QString()};
    for (const QString &line : source.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("//")))
            continue;
        if (trimmed.isEmpty()) {
            if (!blocks.last().trimmed().isEmpty())
                blocks.append(QString());
            continue;
        }
        blocks.last() += line + u'\n';
    }
    int number = 0;
    for (QString block : blocks) {
        block = block.trimmed();
        if (block.isEmpty() || block.startsWith(QStringLiteral("$CATEGORY:")))
            continue;
        ++number;
        const auto leftOut = [&](Msg why) { bank.Problems.append({number, why, {}}); };
        if (block.startsWith(QStringLiteral("::"))) { // its title
            const qsizetype end = block.indexOf(QStringLiteral("::"), 2);
            block = end < 0 ? block : block.mid(end + 2);
        }
        const qsizetype open = Unescaped(block, QStringLiteral("{"));
        const qsizetype close = open < 0 ? -1 : Unescaped(block, QStringLiteral("}"), open + 1);
        if (open < 0 || close < 0) {
            leftOut(Msg::E_BANKDESCRIPTION);
            continue;
        }
        const QString after = block.mid(close + 1).trimmed();
        BankQuestion q;
        q.Number = number;
        q.Text = GiftText(block.left(open) +
                          (after.isEmpty() ? QString() : QStringLiteral(" _____ ") + after));
        const QString answers =
            WithoutGeneralFeedback(block.mid(open + 1, close - open - 1).trimmed());
        // True/false: the word, then the feedback of a wrong and of a right answer, if any.
        const qsizetype hash = Unescaped(answers, QStringLiteral("#"));
        const QString word = (hash < 0 ? answers : answers.left(hash)).trimmed().toUpper();
        if (word == QStringLiteral("T") || word == QStringLiteral("TRUE") ||
            word == QStringLiteral("F") || word == QStringLiteral("FALSE")) {
            q.Answers = {QStringLiteral("Верно"), QStringLiteral("Неверно")};
            q.Correct = word.startsWith(u'T') ? 0 : 1;
            bank.Questions.append(q);
            continue;
        }
        if (answers.startsWith(u'#') || answers.isEmpty()) {
            leftOut(Msg::E_BANKNOTCHOICE);
            continue;
        }
        // Right: full credit; credited: any credit (answers of a question of several answers).
        int rights = 0, credited = 0, wrongs = 0, creditedAt = 0;
        bool matching = false;
        for (qsizetype at = Unescaped(answers, QStringLiteral("=~")); at >= 0;) {
            const qsizetype next = Unescaped(answers, QStringLiteral("=~"), at + 1);
            QString piece = answers.mid(at + 1, next < 0 ? -1 : next - at - 1);
            const qsizetype feedback = Unescaped(piece, QStringLiteral("#"));
            if (feedback >= 0)
                piece = piece.left(feedback);
            const bool tilde = answers[at] == u'~';
            double weight = tilde ? 0 : 100;
            static const QRegularExpression percent(QStringLiteral("^%(-?[0-9.]+)%"));
            if (const QRegularExpressionMatch w = percent.match(piece); w.hasMatch()) {
                weight = w.captured(1).toDouble();
                piece = piece.mid(w.capturedLength());
            }
            matching = matching || piece.contains(QStringLiteral("->"));
            q.Answers.append(GiftText(piece));
            if (weight >= 100)
                q.Correct = int(q.Answers.size()) - 1;
            if (weight > 0)
                creditedAt = int(q.Answers.size()) - 1;
            rights += weight >= 100;
            credited += weight > 0;
            wrongs += tilde;
            at = next;
        }
        // Answers that all begin with "=" are the accepted texts of a short answer.
        if (matching)
            leftOut(Msg::E_BANKMATCHING);
        else if (wrongs == 0)
            leftOut(Msg::E_BANKSHORTANSWER);
        else if (rights > 1 || (rights == 0 && credited > 1))
            leftOut(Msg::E_BANKSEVERALRIGHT);
        else if (credited == 0)
            leftOut(Msg::E_BANKNORIGHT);
        else {
            if (rights == 0)
                q.Correct = creditedAt; // the one answer given some credit
            bank.Questions.append(q);
        }
    }
    return bank;
}

// ---- Aiken ----------------------------------------------------------------------------------

// A question: its text, its lettered answers, then "ANSWER: X". A question without that line
// ends where a line that is no answer follows its answers, and is left out.
BankImport ReadAiken(const QString &source)
{
    BankImport bank;
    static const QRegularExpression option(QStringLiteral("^([A-Z])[.)]\\s+(.*)$"));
    static const QRegularExpression answer(QStringLiteral("^ANSWER:\\s*([A-Z])\\s*$"));
    BankQuestion q;
    QStringList letters;
    int number = 0;
    const auto next = [&] {
        q = BankQuestion();
        letters.clear();
    };
    for (const QString &raw : source.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch o = option.match(line);
        const bool isOption = o.hasMatch() && !q.Text.isEmpty();
        if (!q.Answers.isEmpty() && !isOption && !answer.match(line).hasMatch()) {
            bank.Problems.append({number, Msg::E_BANKNOANSWERLINE, {}});
            next();
        }
        if (q.Number == 0)
            q.Number = ++number;
        if (const QRegularExpressionMatch m = answer.match(line); m.hasMatch()) {
            const int correct = int(letters.indexOf(m.captured(1)));
            if (q.Answers.size() < 2 || correct < 0)
                bank.Problems.append({number, Msg::E_BANKNOSUCHANSWER, m.captured(1)});
            else
                bank.Questions.append({number, q.Text.trimmed(), q.Answers, correct, {}, {}});
            next();
        } else if (isOption) {
            letters.append(o.captured(1));
            q.Answers.append(o.captured(2).trimmed());
        } else {
            q.Text += (q.Text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        }
    }
    if (q.Number)
        bank.Problems.append({number, Msg::E_BANKNOANSWERLINE, {}});
    return bank;
}

// ---- Moodle XML -------------------------------------------------------------------------------

struct Node
{
    QString Name;
    QXmlStreamAttributes Attributes;
    QString Text;
    QList<std::shared_ptr<Node>> Children;
    bool Whole = false; // read up to its end tag
    const Node *Child(const QString &name) const
    {
        for (const auto &c : Children)
            if (c->Name == name)
                return c.get();
        return nullptr;
    }
    QString ChildText(const QString &name) const
    {
        const Node *c = Child(name);
        const Node *t = c ? c->Child(QStringLiteral("text")) : nullptr;
        return t ? t->Text : c ? c->Text : QString();
    }
};

std::shared_ptr<Node> ReadNode(QXmlStreamReader &xml)
{
    auto node = std::make_shared<Node>();
    node->Name = xml.name().toString();
    node->Attributes = xml.attributes();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            node->Children.append(ReadNode(xml));
        else if (xml.isCharacters())
            node->Text += xml.text();
        else if (xml.isEndElement()) {
            node->Whole = true;
            break;
        }
    }
    return node;
}

// A picture the player shows: JPEG, GIF and BMP as they are, any other kind Qt reads as BMP.
std::optional<BankPicture> Picture(const QString &name, const QByteArray &bytes)
{
    const QString lower = name.toLower();
    if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg")) ||
        lower.endsWith(QStringLiteral(".gif")) || lower.endsWith(QStringLiteral(".bmp")))
        return BankPicture{name, bytes};
    QImage image;
    if (!image.loadFromData(bytes))
        return std::nullopt;
    QByteArray bmp;
    QBuffer out(&bmp);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "BMP"))
        return std::nullopt;
    return BankPicture{name.section(u'.', 0, 0) + QStringLiteral(".bmp"), bmp};
}

// The first picture of a text: its file elements, or an image inline as data.
std::optional<BankPicture> PictureOf(const Node *text, const QString &html, int &counter)
{
    if (text)
        for (const auto &c : text->Children)
            if (c->Name == QStringLiteral("file"))
                if (auto p = Picture(QStringLiteral("q%1-").arg(++counter) +
                                         c->Attributes.value(QStringLiteral("name")).toString(),
                                     QByteArray::fromBase64(c->Text.trimmed().toLatin1())))
                    return p;
    static const QRegularExpression data(
        QStringLiteral("src=\"data:image/([a-z]+);base64,([A-Za-z0-9+/=\\s]+)\""));
    if (const QRegularExpressionMatch m = data.match(html); m.hasMatch())
        return Picture(QStringLiteral("q%1.%2").arg(++counter).arg(m.captured(1)),
                       QByteArray::fromBase64(m.captured(2).toLatin1()));
    return std::nullopt;
}

BankImport ReadMoodle(const QByteArray &bytes)
{
    BankImport bank;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    if (xml.hasError() || xml.name() != QStringLiteral("quiz")) {
        bank.Problems.append({0, Msg::E_BANKNOTXML, {}});
        return bank;
    }
    const std::shared_ptr<Node> quiz = ReadNode(xml);
    if (xml.hasError()) {
        // The questions read whole before the fault are kept; the rest of the file is not.
        bank.Problems.append({int(xml.lineNumber()), Msg::E_BANKXML, xml.errorString()});
        quiz->Children.removeIf([](const std::shared_ptr<Node> &n) { return !n->Whole; });
    }
    int number = 0, pictures = 0;
    for (const auto &question : quiz->Children) {
        const QString type = question->Attributes.value(QStringLiteral("type")).toString();
        if (question->Name != QStringLiteral("question") || type == QStringLiteral("category"))
            continue;
        ++number;
        const auto leftOut = [&](Msg why, const QString &detail = QString()) {
            bank.Problems.append({number, why, detail});
        };
        if (type != QStringLiteral("multichoice") && type != QStringLiteral("truefalse")) {
            leftOut(Msg::E_BANKOFTYPE, type);
            continue;
        }
        BankQuestion q;
        q.Number = number;
        const QString html = question->ChildText(QStringLiteral("questiontext"));
        q.Text = PlainOfHtml(html);
        q.Picture = PictureOf(question->Child(QStringLiteral("questiontext")), html, pictures);
        // The older form: the picture's name in <image>, its bytes in <image_base64>.
        if (const Node *old = question->Child(QStringLiteral("image_base64")); !q.Picture && old)
            q.Picture = Picture(
                QStringLiteral("q%1-").arg(++pictures) +
                    QFileInfo(question->ChildText(QStringLiteral("image")).trimmed()).fileName(),
                QByteArray::fromBase64(old->Text.trimmed().toLatin1()));
        int rights = 0;
        bool everyPicture = true;
        QList<BankPicture> answerPictures;
        for (const auto &a : question->Children) {
            if (a->Name != QStringLiteral("answer"))
                continue;
            const QString text = a->ChildText(QStringLiteral("text"));
            QString shown = PlainOfHtml(text);
            if (type == QStringLiteral("truefalse"))
                shown = shown.toLower() == QStringLiteral("true") ? QStringLiteral("Верно")
                                                                  : QStringLiteral("Неверно");
            // Any answer with credit is a right one: several of them are several right answers.
            if (a->Attributes.value(QStringLiteral("fraction")).toDouble() > 0) {
                q.Correct = int(q.Answers.size());
                ++rights;
            }
            q.Answers.append(shown);
            const std::optional<BankPicture> p = PictureOf(a.get(), text, pictures);
            everyPicture = everyPicture && p.has_value();
            if (p)
                answerPictures.append(*p);
        }
        if (everyPicture && !answerPictures.isEmpty())
            q.AnswerPictures = answerPictures;
        if (rights > 1)
            leftOut(Msg::E_BANKSEVERALRIGHT);
        else if (rights == 0)
            leftOut(Msg::E_BANKNORIGHT);
        else if (q.Answers.size() < 2)
            leftOut(Msg::E_BANKFEWANSWERS);
        else
            bank.Questions.append(q);
    }
    return bank;
}

} // namespace

QString BankProblemText(const BankProblem &problem, const TMessages &messages)
{
    return FormatMessage(messages[problem.Why], {problem.Number, problem.Detail});
}

QString PlainOfHtml(const QString &html)
{
    QString text = html;
    static const QRegularExpression breaks(
        QStringLiteral("<\\s*(br|/p|/div|/li|/h[1-6])\\s*/?\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    text.replace(breaks, QStringLiteral("\n"));
    text.remove(tags);
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        out += ok && code > 0 && code <= 0x10FFFF
                   ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1)
                   : QString();
        last = m.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    QStringList lines;
    for (const QString &line : out.split(u'\n'))
        if (!line.simplified().isEmpty())
            lines.append(line.simplified());
    return lines.join(u'\n');
}

BankFormat GuessBankFormat(const QByteArray &bytes)
{
    const QByteArray head = bytes.left(512).trimmed();
    if (head.startsWith("<?xml") || head.startsWith("<quiz"))
        return BankFormat::Moodle;
    return Unescaped(QString::fromUtf8(bytes), QStringLiteral("{")) >= 0 ? BankFormat::Gift
                                                                         : BankFormat::Aiken;
}

BankImport ReadBank(const QByteArray &bytes, BankFormat format)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    BankImport bank = format == BankFormat::Gift    ? ReadGift(text)
                      : format == BankFormat::Aiken ? ReadAiken(text)
                                                    : ReadMoodle(bytes);
    // An exam question holds five answers at most.
    bank.Questions.removeIf([&bank](const BankQuestion &q) {
        if (q.Answers.size() <= 5)
            return false;
        bank.Problems.append({q.Number, Msg::E_BANKTOOMANY, QString::number(q.Answers.size())});
        return true;
    });
    // In the bank's order; a fault of the file (its number a line) after the questions.
    const auto place = [](const BankProblem &p) {
        return p.Why == Msg::E_BANKXML ? std::numeric_limits<int>::max() : p.Number;
    };
    std::stable_sort(
        bank.Problems.begin(), bank.Problems.end(),
        [&place](const BankProblem &a, const BankProblem &b) { return place(a) < place(b); });
    return bank;
}

void GiveFreeNames(QList<BankQuestion> &questions, QStringList taken)
{
    const auto free = [&taken](BankPicture &p) {
        const qsizetype dot = p.Name.lastIndexOf(u'.');
        const QString stem = dot < 0 ? p.Name : p.Name.left(dot);
        const QString ext = dot < 0 ? QString() : p.Name.mid(dot);
        for (int n = 2; taken.contains(p.Name, Qt::CaseInsensitive); ++n)
            p.Name = stem + QStringLiteral("-%1").arg(n) + ext;
        taken.append(p.Name);
    };
    for (BankQuestion &q : questions) {
        if (q.Picture)
            free(*q.Picture);
        for (BankPicture &p : q.AnswerPictures)
            free(p);
    }
}

QString ExamTextOf(const QList<BankQuestion> &questions, const QString &title,
                   const TMessages &messages)
{
    // The mark line in the usual words: "Оценка: отлично".
    const QStringList marks = messages[Msg::E_MARKWORDS].split(u'|');
    QStringList lines{QStringLiteral("[Setup]"),
                      QStringLiteral("Version=1.1"),
                      QStringLiteral("AllZ=%1").arg(questions.size() - 1),
                      QStringLiteral("CEdit=") + FoldLineBreaks(title.trimmed()),
                      QStringLiteral("SaveJuornal=1"),
                      QStringLiteral("Spisok=0"), // groups and names are typed
                      QStringLiteral("YesReport=1"),
                      QStringLiteral("YTime=0"),
                      QStringLiteral("AnRand=0")};
    for (int k = 0; k < 5; ++k)
        lines << (k ? QStringLiteral("O%1=").arg(6 - k) : QStringLiteral("Oc=")) + marks.value(k);
    // The title page in the faces every station has, as an examiner would set it.
    const struct
    {
        const char *Suffix;
        int Style, Color, Size;
    } titleFonts[] = {{"TopStr", 0, 0x800000, 14},
                      {"CEdit", 1, 0, 22},
                      {"ButEdit", 2, 0, 12},
                      {"JobEdit", 0, 0x404040, 11}};
    for (const auto &f : titleFonts)
        lines << QStringLiteral("[Font%1]").arg(QString::fromLatin1(f.Suffix))
              << QStringLiteral("Name=Arial") << QStringLiteral("Style=%1").arg(f.Style)
              << QStringLiteral("Charset=204") << QStringLiteral("Color=%1").arg(f.Color)
              << QStringLiteral("Pitch=0") << QStringLiteral("Size=%1").arg(f.Size);
    for (qsizetype n = 0; n < questions.size(); ++n) {
        const BankQuestion &q = questions[n];
        // A picture of the question makes a list question; pictures of every answer a question
        // of picture answers; either takes four answers at most.
        const bool pictures = !q.AnswerPictures.isEmpty() && q.Answers.size() <= 4;
        const bool list = !pictures && q.Picture && q.Answers.size() <= 4;
        lines << QStringLiteral("[V%1]").arg(n)
              << QStringLiteral("Form=%1").arg(pictures ? 2
                                               : list   ? 3
                                                        : 1)
              << QStringLiteral("Vopros=") + FoldLineBreaks(q.Text.trimmed())
              << QStringLiteral("AllW=%1").arg(q.Answers.size())
              << QStringLiteral("CorNo=%1").arg(q.Correct + 1) << QStringLiteral("AR=0")
              << QStringLiteral("AT=0");
        for (qsizetype k = 0; k < q.Answers.size(); ++k)
            lines << QStringLiteral("B%1=1").arg(k + 1)
                  << QStringLiteral("S%1=").arg(k + 1) + FoldLineBreaks(q.Answers[k].trimmed());
        if (list)
            lines << QStringLiteral("P1=") + q.Picture->Name;
        if (pictures)
            for (qsizetype k = 0; k < q.AnswerPictures.size(); ++k)
                lines << QStringLiteral("P%1=").arg(k + 1) + q.AnswerPictures[k].Name;
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}
