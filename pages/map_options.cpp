// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the map pages' display options.
#include "pages/map_options.h"

#include <array>
#include <cstddef>

#include "ui/text_table.h"

namespace rq {
namespace {

using OptionTextRow = std::array<const char*, 4>;

constexpr OptionTextRow kOptionTexts[static_cast<std::size_t>(MapOptionText::Count)] = {
    OptionTextRow{"View: how the map cells are coloured", "Ansicht: wie die Kennfeldzellen gefärbt werden",
        "Affichage : comment les cellules de la carte sont colorées", "Zobrazení: jak jsou buňky mapy obarveny"},
    OptionTextRow{"Heat colours", "Wertfarben", "Couleurs de valeur", "Barvy podle hodnoty"},
    OptionTextRow{"Cells coloured from cool (low) to warm (high)",
        "Zellen von kühl (niedrig) bis warm (hoch) gefärbt",
        "Cellules colorées du froid (bas) au chaud (haut)",
        "Buňky obarvené od studené (nízká) po teplou (vysoká)"},
    OptionTextRow{"Trail", "Spur", "Traînée", "Stopa"},
    OptionTextRow{"The cells the engine ran in during the last seconds, in orange",
        "Die Zellen, in denen der Motor in den letzten Sekunden lief, in Orange",
        "Les cellules où le moteur a tourné ces dernières secondes, en orange",
        "Buňky, ve kterých motor běžel v posledních sekundách, oranžově"},
};

}  // namespace

const char* MapOptionTextOf(MapOptionText id, int language) {
  const int lang = ClampLanguage(language);
  return kOptionTexts[static_cast<std::size_t>(id)][static_cast<std::size_t>(lang)];
}

}  // namespace rq
