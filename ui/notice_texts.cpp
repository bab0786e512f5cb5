// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/notice_texts.h"

namespace rq {
namespace {

constexpr const char* kNotices[kNoticeCount][4] = {
    {"%1: cell %2 % / %3 rpm set to %4 (the unit runs on the other map)",
     "%1: Zelle %2 % / %3 U/min auf %4 gesetzt (die Zündung fährt das andere Kennfeld)",
     "%1 : case %2 % / %3 tr/min réglée à %4 (le boîtier utilise l´autre courbe)",
     "%1: buňka %2 % / %3 ot/min nastavena na %4 (zapalování jede podle druhé mapy)"},
    {"Reading the unit: the pages take no changes until the read has ended",
     "Zündung wird gelesen: Änderungen erst nach dem Lesen möglich",
     "Lecture du boîtier : aucune modification avant la fin de la lecture",
     "Čtení zapalování: změny jsou možné až po dokončení čtení"},
    {"Not a configuration file (no version key)",
     "Keine Konfigurationsdatei (kein Versionsschlüssel)",
     "Pas un fichier de configuration (pas de clé de version)",
     "Není to konfigurační soubor (chybí klíč verze)"},
    {"%1 is there, but no program to show PDF files was found",
     "%1 ist vorhanden, aber es wurde kein Programm zum Anzeigen von PDF-Dateien gefunden",
     "%1 est présent, mais aucun programme pour afficher les fichiers PDF n'a été trouvé",
     "%1 existuje, ale nebyl nalezen žádný program pro zobrazení souborů PDF"},
    {"The servo map is off. Tick \"%1\" below to use the servo and show its map.",
     "Das Servo-Kennfeld ist aus. \"%1\" unten ankreuzen, um das Servo zu nutzen und sein "
     "Kennfeld zu zeigen.",
     "La courbe du servo est désactivée. Cochez « %1 » ci-dessous pour utiliser le servo et "
     "afficher sa courbe.",
     "Mapa serva je vypnutá. Zaškrtněte „%1“ dole, chcete-li servo používat a zobrazit jeho mapu."},
};

}  // namespace

const char* NoticeText(int language, int id) {
  if (id < 0 || id >= kNoticeCount) return "";
  if (language < 0 || language >= 4) language = 0;
  return kNotices[id][language];
}

}  // namespace rq
