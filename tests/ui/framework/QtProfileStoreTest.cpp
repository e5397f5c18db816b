#include "ui/framework/QtProfileStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {
void ClearProfile() {
    QSettings settings("Norvane", "Calora");
    settings.clear();
    settings.sync();
}
} // namespace

TEST(QtProfileStore, MissingKeysGiveTheFallbacks) {
    ClearProfile();
    CQtProfileStore profile;
    EXPECT_EQ("Serie", profile.GetString("TipoComunicaciones", "Serie"));
    EXPECT_EQ(405, profile.GetInt("PuertoIP", 405));
}

TEST(QtProfileStore, ValuesSurviveANewStoreAndLieInTheApplicationSection) {
    ClearProfile();
    {
        CQtProfileStore profile;
        profile.WriteString("Puerto", "COM3:");
        profile.WriteInt("Hy2", -17);
    }
    CQtProfileStore again;
    EXPECT_EQ("COM3:", again.GetString("Puerto", ""));
    EXPECT_EQ(-17, again.GetInt("Hy2", 5));
    QSettings raw("Norvane", "Calora");
    EXPECT_TRUE(raw.childGroups().isEmpty());
    EXPECT_TRUE(raw.contains("Hy2"));
    // Tests never touch the user's real profile.
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    ASSERT_FALSE(home.isEmpty());
    EXPECT_TRUE(raw.fileName().startsWith(QString::fromLocal8Bit(home)));
}

TEST(QtProfileStore, ANonNumericIntegerReadsAsMissing) {
    ClearProfile();
    CQtProfileStore profile;
    profile.WriteString("Baud", "fast");
    EXPECT_EQ(3, profile.GetInt("Baud", 3));
}

TEST(QtProfileStore, Utf8TextsRoundTrip) {
    ClearProfile();
    CQtProfileStore profile;
    profile.WriteString("LanguageDll", "/opt/calora/Languages/Espa\xC3\xB1ol.so");
    EXPECT_EQ("/opt/calora/Languages/Espa\xC3\xB1ol.so", profile.GetString("LanguageDll", ""));
}
