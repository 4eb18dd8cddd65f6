#include "support/TempTree.h"

#include "app/StartupChecks.h"
#include "platform/SiteKey.h"
#include "results/CertificateCheck.h"
#include "results/CertificateCode.h"
#include "results/CertificateCommands.h"
#include "results/RunResult.h"
#include "settings/Settings.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

RunResult sampleRun()
{
    RunResult run;
    run.userId = QStringLiteral("K2026-0042");
    run.userName = QStringLiteral("山田 花子");
    run.computerName = QStringLiteral("EXAM-PC07");
    run.fileName = QStringLiteral("jpn_dat.012");
    run.charsPerMinute = 85.5f;
    run.accuracy = 97.6f;
    run.errors = 6;
    run.secondsUsed = 180;
    run.alphanumericChars = 12;
    run.kanjiOrSymbolChars = 35;
    run.acceptedChars = 258;
    run.totalChars = 260;
    run.recordNumber = 42;
    return run;
}

const QDateTime PrintedAt(QDate(2026, 12, 9), QTime(16, 43));

// The code with field n of its signed part replaced, signature kept.
QString withField(const QString& payload, int n, const QString& value)
{
    QStringList parts = payload.split(u'.');
    const auto b64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
    QStringList fields =
        QString::fromUtf8(QByteArray::fromBase64(parts[1].toLatin1(), b64)).split(QChar(0x1f));
    fields[n] = value;
    parts[1] = QString::fromLatin1(fields.join(QChar(0x1f)).toUtf8().toBase64(b64));
    return parts.join(u'.');
}

int verify(const QStringList& arguments, QString* output = nullptr)
{
    QString out, messages;
    const int status = CertificateCommands::run(QStringList{QStringLiteral("--verify")} + arguments,
                                                out, messages);
    if (output)
        *output = out + messages;
    return status;
}

} // namespace

class tst_CertificateCode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void verdicts_data();
    void verdicts();
    void keyFiles();
    void keyPlaces();
    void fileThatIsNoPicture();
    void pageGainsTrustedKeys();

private:
    std::unique_ptr<TempTree> m_tree;
    QString m_payload;
    QString m_publicKey;
    QString m_otherPublicKey;
};

void tst_CertificateCode::initTestCase()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->write(QStringLiteral("app/verify.html"),
                  "<script>const trustedKeys = [\n/*PELKO-TRUSTED-KEYS*/\n];</script>");
    const ScopedEnv app("PELKO_APPDIR", m_tree->file(QStringLiteral("app")));
    QString out, messages;
    QCOMPARE(CertificateCommands::run({QStringLiteral("--site-key"), QStringLiteral("new"),
                                       m_tree->file(QStringLiteral("school")),
                                       QStringLiteral("第一高校")},
                                      out, messages),
             0);
    QCOMPARE(CertificateCommands::run({QStringLiteral("--site-key"), QStringLiteral("new"),
                                       m_tree->file(QStringLiteral("other"))},
                                      out, messages),
             0);
    const Expected<SiteKey> key =
        SiteKey::load(m_tree->file(QStringLiteral("school/pelko-site.key")));
    QVERIFY(key);
    m_payload =
        CertificateCode::seal(CertificateCode::fieldsOf(sampleRun(), PrintedAt), *key, {}).payload;
    m_publicKey = m_tree->file(QStringLiteral("school/pelko-site.pub"));
    m_otherPublicKey = m_tree->file(QStringLiteral("other/pelko-site.pub"));
    QVERIFY2(out.contains(QStringLiteral("[Certificate][$i]\nKeyFile=")), qPrintable(out));
    // The page written beside the key trusts it.
    QVERIFY(m_tree->read(QStringLiteral("school/verify.html")).contains(key->keyId().toLatin1()));
}

void tst_CertificateCode::verdicts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("otherKey");
    QTest::addColumn<int>("status");
    QTest::newRow("as printed") << m_payload << false << 0;
    QTest::newRow("in an address")
        << QStringLiteral("https://school.example/verify.html#") + m_payload << false << 0;
    QTest::newRow("another site's key") << m_payload << true << 3;
    // 45.0 made into 85.0, and every other printed value changed alike.
    for (int n = 0; n < CertificateCode::FieldCount; ++n)
        QTest::addRow("field %d altered", n)
            << withField(m_payload, n, QStringLiteral("9")) << false << 1;
    QTest::newRow("signature altered")
        << m_payload.left(m_payload.size() - 3) + (m_payload.endsWith(u'A') ? u"BAA" : u"AAA")
        << false << 1;
    QTest::newRow("cut short") << m_payload.left(m_payload.lastIndexOf(u'.')) << false << 1;
    QTest::newRow("no code") << QStringLiteral("日本語入力認定証") << false << 4;
    QTest::newRow("controls in a field: cursor moves, NUL")
        << withField(m_payload, 1, QStringLiteral("\x1b[1A有効\u202e003\x9b0m") + QChar(0) + u'.')
        << false << 1;
}

void tst_CertificateCode::verdicts()
{
    QFETCH(QString, code);
    QFETCH(bool, otherKey);
    QFETCH(int, status);
    QString output;
    QCOMPARE(
        verify({code, QStringLiteral("--key"), otherKey ? m_otherPublicKey : m_publicKey}, &output),
        status);
    for (const QChar c : output)
        QVERIFY2(c == u'\n' || c.category() != QChar::Other_Control, qPrintable(output));
    // Every field is shown whatever the verdict, so an edited sheet cannot pass unnoticed.
    if (status != 4) {
        QVERIFY2(output.contains(QStringLiteral("ユーザ名: ")), qPrintable(output));
        QVERIFY(output.contains(QStringLiteral("使用ＰＣ: ")));
    }
    if (status == 0) {
        for (const char* shown :
             {"ユーザ名: 山田 花子", "認定日時: 2026-12-09 16:43（認定証の表記 12-09-2026）",
              "漢字率: 13.5 ％", "入力速度: 86文字/分", "レベル: ワープロ検定１級レベル",
              "記録番号: No. 42", "署名した学校: 第一高校"})
            QVERIFY2(output.contains(QString::fromUtf8(shown)), qPrintable(output));
    }
}

void tst_CertificateCode::keyFiles()
{
    // Whatever the umask, the private key is for its owner and group only.
    m_tree->mkdir(QStringLiteral("loose"));
    const mode_t umaskBefore = ::umask(0);
    const Expected<SiteKey> key = SiteKey::create(m_tree->file(QStringLiteral("loose")), {});
    ::umask(umaskBefore);
    QVERIFY(key);
    auto modeOf = [this](const char* name) {
        struct stat info {
        };
        ::stat(QFile::encodeName(m_tree->file(QString::fromLatin1(name))).constData(), &info);
        return info.st_mode & 0777;
    };
    QCOMPARE(modeOf("loose/pelko-site.key"), mode_t(0640));
    QCOMPARE(modeOf("loose/pelko-site.pub"), mode_t(0644));
    // A second key never replaces the first: what it signed would become "unknown key".
    QString out, messages;
    QCOMPARE(CertificateCommands::run({QStringLiteral("--site-key"), QStringLiteral("new"),
                                       m_tree->file(QStringLiteral("loose"))},
                                      out, messages),
             1);
    QVERIFY2(messages.contains(QStringLiteral("上書きしません")), qPrintable(messages));

    const QString secret = m_tree->file(QStringLiteral("loose/pelko-site.key"));
    Settings settings;
    settings.setCertificateKeyFile(secret);
    QCOMPARE(certificateKeyProblem(settings), QString());
    ::chmod(QFile::encodeName(secret).constData(), 0644);
    const Expected<SiteKey> exposed = SiteKey::load(secret);
    // Told at start, with the reason.
    QVERIFY(certificateKeyProblem(settings).contains(QStringLiteral("所有者とグループ以外")));
    ::chmod(QFile::encodeName(secret).constData(), 0640);
    QVERIFY(!exposed);
    QVERIFY2(exposed.error().message().contains(QStringLiteral("所有者とグループ以外")),
             qPrintable(exposed.error().message()));
    QCOMPARE(SiteKey::load(secret)->keyId(), key->keyId());
    // A public key is no private key.
    QVERIFY(!SiteKey::load(m_publicKey));
}

// Folders ("path=mode", "=uid" for another owner) a key lies in, and one is made in.
void tst_CertificateCode::keyPlaces()
{
    const struct {
        const char *layout, *keyFolder, *classFolder, *refusal;
    } rows[] = {{"g=0770", "g", "", "書き込めるユーザーがいます"},
                {"c=2775 c/k=0755", "c/k", "", "/c」には"},
                {"t=1777 t/k=0755", "t/k", "", ""}, // a sticky folder above
                {"s=1777", "s", "", "/s」には"},
                {"r=0750 rc=2775", "r", "rc", "グループ「"},
                {"o=0755=65534", "o", "", "所有者が root でも"}};
    const QString places = QStringLiteral("places/");
    for (const auto& r : rows) {
        bool givenAway = true; // only root gives a folder to another user
        for (const QString& entry : QString::fromLatin1(r.layout).split(u' ')) {
            const QStringList parts = entry.split(u'=');
            m_tree->mkdir(places + parts[0]);
            const QByteArray path = QFile::encodeName(m_tree->file(places + parts[0]));
            ::chmod(path.constData(), mode_t(parts[1].toUInt(nullptr, 8)));
            if (parts.size() > 2)
                givenAway = ::chown(path.constData(), parts[2].toUInt(), gid_t(-1)) == 0;
        }
        const QString folder = m_tree->file(places + QLatin1String(r.keyFolder));
        const QStringList classFolders{m_tree->file(places + QLatin1String(r.classFolder))};
        QFile::copy(m_tree->file(QStringLiteral("school/pelko-site.key")), folder + u"/k.key");
        const QString why = SiteKey::unsafePermissions(folder + u"/k.key", classFolders);
        QString out, messages;
        const int status =
            CertificateCommands::run({QStringLiteral("--site-key"), QStringLiteral("new"), folder},
                                     out, messages, classFolders);
        const QString refusal = QString::fromUtf8(r.refusal);
        QVERIFY2(!givenAway || ((refusal.isEmpty() ? why.isEmpty() : why.contains(refusal)) &&
                                status == int(!refusal.isEmpty()) && messages.contains(refusal) &&
                                QFile::exists(folder + u"/pelko-site.key") == refusal.isEmpty()),
                 qPrintable(why + messages));
    }
}

void tst_CertificateCode::fileThatIsNoPicture()
{
    m_tree->write(QStringLiteral("notes.txt"), "not a picture");
    QString output;
    QCOMPARE(verify({m_tree->file(QStringLiteral("notes.txt"))}, &output),
             int(CertificateCommands::Unreadable));
    QVERIFY2(output.contains(QStringLiteral("読めません")), qPrintable(output));
}

void tst_CertificateCode::pageGainsTrustedKeys()
{
    const QString page = QStringLiteral("[\n/*PELKO-TRUSTED-KEYS*/\n]");
    const QByteArray key(32, 'k');
    const QString once = CertificateCommands::pageWithKey(page, QStringLiteral("AAAAAAAA"), key,
                                                          QStringLiteral("</script>校"));
    const QString twice =
        CertificateCommands::pageWithKey(once, QStringLiteral("BBBBBBBB"), key, {});
    QVERIFY2(!twice.contains(QStringLiteral("</script>")), qPrintable(twice));
    QVERIFY(twice.indexOf(QStringLiteral("AAAAAAAA")) < twice.indexOf(QStringLiteral("BBBBBBBB")));
    QVERIFY(twice.indexOf(QStringLiteral("BBBBBBBB")) <
            twice.indexOf(QStringLiteral("/*PELKO-TRUSTED-KEYS*/")));
}

QTEST_GUILESS_MAIN(tst_CertificateCode)
#include "tst_CertificateCode.moc"
