// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/unit_texts.h"

#include <array>

#include "link/serial_port.h"
#include "ui/text_table.h"

namespace rq {
namespace {

using Row = std::array<const char*, 4>;

// By UnitText, then language.
constexpr Row kTexts[UtTextCount] = {
    {"Unit not read since the start", "Zündbox seit dem Start nicht gelesen",
     "Unité non lue depuis le démarrage", "Jednotka od startu nebyla čtena"},
    {"PC and unit are equal", "PC und Zündbox sind gleich", "PC et unité sont identiques",
     "PC a jednotka jsou shodné"},
    {"PC and unit differ in 1 parameter", "PC und Zündbox unterscheiden sich in 1 Parameter",
     "PC et unité diffèrent en 1 paramètre", "PC a jednotka se liší v 1 parametru"},
    {"PC and unit differ in %1 parameters", "PC und Zündbox unterscheiden sich in %1 Parametern",
     "PC et unité diffèrent en %1 paramètres", "PC a jednotka se liší v %1 parametrech"},
    {"Unit contents unknown until the next Read, Verify or Program",
     "Inhalt der Zündbox unbekannt bis zum nächsten Lesen, Vergleichen oder Programmieren",
     "Contenu de l'unité inconnu jusqu'à la prochaine lecture, vérification ou programmation",
     "Obsah jednotky neznámý do příštího čtení, verifikace nebo programování"},
    {"What the unit holds against the PC; click to compare",
     "Was die Zündbox gegenüber dem PC enthält; Klick zum Vergleichen",
     "Ce que contient l'unité par rapport au PC ; cliquer pour comparer",
     "Co obsahuje jednotka oproti PC; kliknutím porovnat"},
    {"PC against unit", "PC gegen Zündbox", "PC contre unité", "PC proti jednotce"},
    {"PC against file %1", "PC gegen Datei %1", "PC contre fichier %1", "PC proti souboru %1"},
    {"Page", "Seite", "Page", "Stránka"},
    {"Parameter", "Parameter", "Paramètre", "Parametr"},
    {"PC", "PC", "PC", "PC"},
    {"Unit", "Zündbox", "Unité", "Jednotka"},
    {"File", "Datei", "Fichier", "Soubor"},
    {"Unit of measure", "Einheit", "Unité de mesure", "Jednotka míry"},
    {"take this value", "diesen Wert übernehmen", "prendre cette valeur", "převzít tuto hodnotu"},
    {"Take all", "Alle übernehmen", "Tout prendre", "Převzít vše"},
    {"Close", "Schließen", "Fermer", "Zavřít"},
    {"No differences: both hold the same configuration.",
     "Keine Unterschiede: beide enthalten dieselbe Konfiguration.",
     "Aucune différence : les deux contiennent la même configuration.",
     "Žádné rozdíly: obě strany obsahují stejnou konfiguraci."},
    {"%1 values differ. Take a value into the PC with a click on \"take this value\"; each take "
     "is one undo step.",
     "%1 Werte unterscheiden sich. Ein Klick auf \"diesen Wert übernehmen\" holt ihn in den PC; "
     "jede Übernahme ist ein Rückgängig-Schritt.",
     "%1 valeurs diffèrent. Un clic sur \"prendre cette valeur\" la reprend dans le PC ; chaque "
     "reprise est une étape d'annulation.",
     "Liší se %1 hodnot. Kliknutím na \"převzít tuto hodnotu\" ji převezmete do PC; každé "
     "převzetí je jeden krok zpět."},
    {"1 value differs. Take it into the PC with a click on \"take this value\"; each take is "
     "one undo step.",
     "1 Wert unterscheidet sich. Ein Klick auf \"diesen Wert übernehmen\" holt ihn in den PC; "
     "jede Übernahme ist ein Rückgängig-Schritt.",
     "1 valeur diffère. Un clic sur \"prendre cette valeur\" la reprend dans le PC ; chaque "
     "reprise est une étape d'annulation.",
     "Liší se 1 hodnota. Kliknutím na \"převzít tuto hodnotu\" ji převezmete do PC; každé "
     "převzetí je jeden krok zpět."},
    // Two to four: only Czech has a form of its own.
    {"", "", "",
     "Liší se %1 hodnoty. Kliknutím na \"převzít tuto hodnotu\" ji převezmete do PC; každé "
     "převzetí je jeden krok zpět."},
    {"Unit: %1, built %2 %3, image version %4",
     "Zündbox: %1, erstellt %2 %3, Bildversion %4",
     "Unité : %1, construite %2 %3, version d'image %4",
     "Jednotka: %1, sestavena %2 %3, verze obrazu %4"},
    {"The unit's configuration could not be read, so nothing was compared. Check the connection "
     "and try again.",
     "Die Konfiguration der Zündbox konnte nicht gelesen werden; nichts wurde verglichen. "
     "Verbindung prüfen und erneut versuchen.",
     "La configuration de l'unité n'a pas pu être lue ; rien n'a été comparé. Vérifiez la "
     "connexion et réessayez.",
     "Konfiguraci jednotky se nepodařilo přečíst, nic nebylo porovnáno. Zkontrolujte spojení a "
     "zkuste to znovu."},
    {"The unit has not been read since the start, or its contents are unknown: Read or Verify "
     "first.",
     "Die Zündbox wurde seit dem Start nicht gelesen oder ihr Inhalt ist unbekannt: zuerst "
     "Lesen oder Vergleichen.",
     "L'unité n'a pas été lue depuis le démarrage ou son contenu est inconnu : d'abord Lire ou "
     "Verifier.",
     "Jednotka nebyla od startu čtena nebo je její obsah neznámý: nejdříve Číst nebo "
     "Verifikace."},
    {"The file carries no unit identification: it is compared by its values only.",
     "Die Datei enthält keine Kennung einer Zündbox: verglichen werden nur die Werte.",
     "Le fichier ne porte pas d'identification d'unité : seules les valeurs sont comparées.",
     "Soubor nenese identifikaci jednotky: porovnávají se jen hodnoty."},
    {"The file was programmed into the unit %1.",
     "Die Datei wurde in die Zündbox %1 programmiert.",
     "Le fichier a été programmé dans l'unité %1.",
     "Soubor byl naprogramován do jednotky %1."},
    {"Caution: the file was programmed into another unit (%1), not into the unit connected (%2).",
     "Achtung: die Datei wurde in eine andere Zündbox (%1) programmiert, nicht in die "
     "angeschlossene (%2).",
     "Attention : le fichier a été programmé dans une autre unité (%1), pas dans l'unité "
     "connectée (%2).",
     "Pozor: soubor byl naprogramován do jiné jednotky (%1), ne do připojené (%2)."},
    {"The file was not compared: %1", "Die Datei wurde nicht verglichen: %1",
     "Le fichier n'a pas été comparé : %1", "Soubor nebyl porovnán: %1"},
    {"Program history", "Programmierverlauf", "Historique de programmation",
     "Historie programování"},
    {"Time", "Zeit", "Heure", "Čas"},
    {"From", "Von", "Depuis", "Odkud"},
    {"File name", "Dateiname", "Nom de fichier", "Název souboru"},
    {"Programmings", "Programmierungen", "Programmations", "Počet programování"},
    {"Open", "Öffnen", "Ouvrir", "Otevřít"},
    {"Compare", "Vergleichen", "Comparer", "Porovnat"},
    {"No configuration has been programmed yet.", "Noch keine Konfiguration programmiert.",
     "Aucune configuration n'a encore été programmée.", "Zatím nebyla naprogramována žádná "
     "konfigurace."},
    {"window", "Fenster", "fenêtre", "okno"},
    {"command line", "Kommandozeile", "ligne de commande", "příkazová řádka"},
    {"%1 = %2: %3", "%1 = %2: %3", "%1 = %2 : %3", "%1 = %2: %3"},
    {"%1: %2", "%1: %2", "%1 : %2", "%1: %2"},
    {"no such device (is the adapter plugged in?)", "kein solches Gerät (ist der Adapter eingesteckt?)",
     "périphérique absent (l'adaptateur est-il branché ?)", "zařízení neexistuje (je adaptér připojen?)"},
    {"in use by another program", "von einem anderen Programm belegt",
     "utilisé par un autre programme", "používá jiný program"},
    {"permission denied: join the dialout group (sudo usermod -aG dialout $USER, then log in again)",
     "Zugriff verweigert: der Gruppe dialout beitreten (sudo usermod -aG dialout $USER, dann neu "
     "anmelden)",
     "permission refusée : rejoindre le groupe dialout (sudo usermod -aG dialout $USER, puis se "
     "reconnecter)",
     "přístup odepřen: přidejte se do skupiny dialout (sudo usermod -aG dialout $USER, pak se "
     "znovu přihlaste)"},
    {"Automatic search chose %1 (%2)", "Automatische Suche wählte %1 (%2)",
     "La recherche automatique a choisi %1 (%2)", "Automatické hledání zvolilo %1 (%2)"},
    {"not a serial device", "kein serielles Gerät", "pas un périphérique série",
     "není sériové zařízení"},
    {"a folder", "ein Ordner", "un dossier", "složka"},
    {"not a device", "kein Gerät", "pas un périphérique", "není zařízení"},
    {"The demo's simulated unit is not a bike: its programmings are not kept here. Programmings "
     "of a unit on a port are.",
     "Die simulierte Zündbox der Demo ist kein Motorrad: ihre Programmierungen werden hier nicht "
     "aufbewahrt. Die einer Zündbox an einem Anschluss schon.",
     "L'unité simulée de la démo n'est pas une moto : ses programmations ne sont pas conservées "
     "ici. Celles d'une unité sur un port le sont.",
     "Simulovaná jednotka ukázky není motocykl: její programování se zde neukládají. Programování "
     "jednotky na portu ano."},
    {"The program history cannot be read: %1", "Der Programmierverlauf kann nicht gelesen werden: %1",
     "L'historique de programmation ne peut pas être lu : %1",
     "Historii programování nelze přečíst: %1"},
    {"latency timer %1 ms: replies come up to %1 ms late; lower it to 1 ms as root: echo 1 > %2",
     "Latenz-Timer %1 ms: Antworten kommen bis zu %1 ms zu spät; als root auf 1 ms senken: "
     "echo 1 > %2",
     "minuterie de latence %1 ms : les réponses arrivent jusqu'à %1 ms en retard ; la baisser à "
     "1 ms en root : echo 1 > %2",
     "časovač latence %1 ms: odpovědi chodí až o %1 ms později; snižte jej jako root "
     "na 1 ms: echo 1 > %2"},
};

}  // namespace

const std::string& UnitTextOf(UnitText id, int language) {
  static const auto table = [] {
    std::array<std::array<std::string, 4>, UtTextCount> t;
    for (int i = 0; i < UtTextCount; ++i)
      for (int l = 0; l < 4; ++l) t[std::size_t(i)][std::size_t(l)] = kTexts[i][l];
    return t;
  }();
  const int l = ClampLanguage(language);
  const int i = id >= 0 && id < UtTextCount ? id : 0;
  return table[std::size_t(i)][std::size_t(l)];
}

std::string DifferencesSummary(std::size_t count, int language) {
  UnitText form = count == 1 ? UtDifferenceOne : count >= 2 && count <= 4 ? UtDifferencesFew : UtDifferences;
  if (UnitTextOf(form, language).empty()) form = UtDifferences;
  return FillPlaceholders(UnitTextOf(form, language).c_str(), {std::to_string(count)});
}

std::string PortOpenReason(const OpenResult& open, int language) {
  switch (open.kind) {
    case OpenFailure::Missing: return UnitTextOf(UtPortNoDevice, language);
    case OpenFailure::Busy: return UnitTextOf(UtPortBusy, language);
    case OpenFailure::Permission: return UnitTextOf(UtPortPermission, language);
    case OpenFailure::Other:
    case OpenFailure::None: break;
  }
  return open.message;
}

std::string PortOpenLine(const std::string& comName, const std::string& path,
                         const OpenResult& open, int language) {
  const std::string shownPath = path.empty() ? "-" : path;
  const std::string reason = PortOpenReason(open, language);
  if (comName.empty())
    return FillPlaceholders(UnitTextOf(UtPortPathLine, language).c_str(), {shownPath, reason});
  return FillPlaceholders(UnitTextOf(UtPortLine, language).c_str(), {comName, shownPath, reason});
}

}  // namespace rq
