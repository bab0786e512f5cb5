// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/channel_table.h"

#include <charconv>

namespace rq {

namespace {

using Snap = MonitorSnapshot;
using R = ChannelRead;

template <std::size_t I> std::int32_t Learned(const Snap& s) { return s.learnedRatio[I]; }
template <std::size_t I> std::int32_t Test(const Snap& s) { return s.test[I]; }
template <std::size_t I> std::int32_t Check(const Snap& s) { return s.pickupCheck[I]; }
template <std::size_t I> std::int32_t Signal(const Snap& s) { return s.pickupSignal[I]; }
template <std::size_t I> std::int32_t Input(const Snap& s) { return s.input[I]; }
template <std::size_t I> std::int32_t PowerOut(const Snap& s) { return s.powerOut[I]; }

#define RQ_FIELD(member) [](const Snap& s) -> std::int32_t { return s.member; }

// Integer counts in tenths and mV, shown as such.
constexpr std::int32_t kTenths = 10;
constexpr std::int32_t kMilli = 1000;

constexpr Channel kChannels[] = {
    {"rpm", {"Engine speed", "Drehzahl", "Régime moteur", "Otáčky motoru"}, "rpm", R::Linear,
     0, 1, 0, RQ_FIELD(rpm)},
    {"max_advance1_deg", {"Max. advance 1", "Max. Vorzündung 1", "Avance max. 1", "Max. předstih 1"},
     "°", R::Linear, 0, 1, 0, RQ_FIELD(maxAdvance1)},
    {"max_advance2_deg", {"Max. advance 2", "Max. Vorzündung 2", "Avance max. 2", "Max. předstih 2"},
     "°", R::Linear, 0, 1, 0, RQ_FIELD(maxAdvance2)},
    {"throttle_pct", {"Throttle", "Drosselklappe", "Papillon des gaz", "Plyn"}, "%", R::Linear, 0,
     kTenths, 1, RQ_FIELD(throttle)},
    {"throttle_sensor_v",
     {"Throttle sensor", "Drosselklappensensor", "Capteur de papillon", "Snímač plynu"}, "V",
     R::Linear, 0, kMilli, 3, RQ_FIELD(throttleMv)},
    {"supply_v", {"Supply voltage", "Versorgungsspannung", "Tension d'alimentation",
                  "Napájecí napětí"},
     "V", R::Linear, 0, kMilli, 3, RQ_FIELD(supplyMv)},
    {"servo_measured_v", {"Servo measured", "Servo gemessen", "Servo mesuré", "Servo měřené"}, "V",
     R::Linear, 0, kMilli, 3, RQ_FIELD(servoMeasuredMv)},
    {"servo_desired_v", {"Servo desired", "Servo Sollwert", "Servo consigne", "Servo požadované"},
     "V", R::Linear, 0, kMilli, 3, RQ_FIELD(servoDesiredMv)},
    {"potentiometer_v", {"Potentiometer", "Potentiometer", "Potentiomètre", "Potenciometr"}, "V",
     R::PotCounts, 0, kMilli, 3, RQ_FIELD(potCounts)},
    {"acceleration_rpm_s", {"Acceleration", "Beschleunigung", "Accélération", "Zrychlení"},
     "rpm/s", R::Linear, 0, 1, 0, RQ_FIELD(acceleration)},
    {"pot_advance_corr_deg",
     {"Potentiometer: advance correction", "Potentiometer: Vorzündungskorrektur",
      "Potentiomètre : correction d'avance", "Potenciometr: korekce předstihu"},
     "°", R::Linear, 1000, kTenths, 1, RQ_FIELD(potAdvanceRaw)},
    {"pot_start_limiter_corr_rpm",
     {"Potentiometer: start limiter correction", "Potentiometer: Startbegrenzerkorrektur",
      "Potentiomètre : correction limiteur de départ", "Potenciometr: korekce startovacího omezovače"},
     "rpm", R::Linear, 10000, 1, 0, RQ_FIELD(potStartLimiterRaw)},
    {"pot_shift_light_corr_rpm",
     {"Potentiometer: shift light correction", "Potentiometer: Schaltblitzkorrektur",
      "Potentiomètre : correction voyant de passage", "Potenciometr: korekce kontrolky řazení"},
     "rpm", R::Linear, 10000, 1, 0, RQ_FIELD(potShiftLightRaw)},
    {"pot_accel_threshold_corr_rpm_s",
     {"Potentiometer: acceleration threshold correction",
      "Potentiometer: Beschleunigungsschwellenkorrektur",
      "Potentiomètre : correction seuil d'accélération",
      "Potenciometr: korekce akceleračního prahu"},
     "rpm/s", R::Linear, 10000, 1, 0, RQ_FIELD(potAccelThresholdRaw)},
    {"speed_kmh", {"Speed", "Geschwindigkeit", "Vitesse", "Rychlost"}, "km/h", R::Linear, 0, 1, 0,
     RQ_FIELD(speedKmh)},
    {"gear_sensor_v", {"Gear sensor", "Gangsensor", "Capteur de rapport", "Snímač rychlostního stupně"},
     "V", R::Linear, 0, kMilli, 3, RQ_FIELD(gearMv)},
    {"rpm_speed_ratio", {"Rpm/speed", "Drehzahl/Geschwindigkeit", "Régime/vitesse", "Otáčky/rychlost"},
     "", R::Linear, 0, kTenths, 1, RQ_FIELD(speedRatio)},
    {"learned_ratio_gear1", {"Learned rpm/speed, gear 1", "Gelernt Drehzahl/Geschwindigkeit, Gang 1",
                             "Régime/vitesse appris, rapport 1", "Naučené otáčky/rychlost, stupeň 1"},
     "", R::Linear, 0, kTenths, 1, Learned<0>},
    {"learned_ratio_gear2", {"Learned rpm/speed, gear 2", "Gelernt Drehzahl/Geschwindigkeit, Gang 2",
                             "Régime/vitesse appris, rapport 2", "Naučené otáčky/rychlost, stupeň 2"},
     "", R::Linear, 0, kTenths, 1, Learned<1>},
    {"learned_ratio_gear3", {"Learned rpm/speed, gear 3", "Gelernt Drehzahl/Geschwindigkeit, Gang 3",
                             "Régime/vitesse appris, rapport 3", "Naučené otáčky/rychlost, stupeň 3"},
     "", R::Linear, 0, kTenths, 1, Learned<2>},
    {"learned_ratio_gear4", {"Learned rpm/speed, gear 4", "Gelernt Drehzahl/Geschwindigkeit, Gang 4",
                             "Régime/vitesse appris, rapport 4", "Naučené otáčky/rychlost, stupeň 4"},
     "", R::Linear, 0, kTenths, 1, Learned<3>},
    {"learned_ratio_gear5", {"Learned rpm/speed, gear 5", "Gelernt Drehzahl/Geschwindigkeit, Gang 5",
                             "Régime/vitesse appris, rapport 5", "Naučené otáčky/rychlost, stupeň 5"},
     "", R::Linear, 0, kTenths, 1, Learned<4>},
    {"learned_ratio_gear6", {"Learned rpm/speed, gear 6", "Gelernt Drehzahl/Geschwindigkeit, Gang 6",
                             "Régime/vitesse appris, rapport 6", "Naučené otáčky/rychlost, stupeň 6"},
     "", R::Linear, 0, kTenths, 1, Learned<5>},
    {"program_count", {"Number of programmings", "Programmierungsanzahl",
                       "Nombre de programmations", "Počet programování"},
     "", R::Linear, 0, 1, 0, RQ_FIELD(programCount)},
    {"saving_countdown", {"Saving countdown", "Speichern, Restzähler", "Mémorisation, décompte",
                          "Ukládání, odpočet"},
     "", R::Linear, 0, 1, 0, RQ_FIELD(savingCountdown)},
    {"test1", {"Test1", "Test1", "Test1", "Test1"}, "", R::Linear, 0, 1, 0, Test<0>},
    {"test2", {"Test2", "Test2", "Test2", "Test2"}, "", R::Linear, 0, 1, 0, Test<1>},
    {"test3", {"Test3", "Test3", "Test3", "Test3"}, "", R::Linear, 0, 1, 0, Test<2>},
    {"test4", {"Test4", "Test4", "Test4", "Test4"}, "", R::Linear, 0, 1, 0, Test<3>},
    {"test5", {"Test5", "Test5", "Test5", "Test5"}, "", R::Linear, 0, 1, 0, Test<4>},
    {"test6", {"Test6", "Test6", "Test6", "Test6"}, "", R::Linear, 0, 1, 0, Test<5>},
    {"test7", {"Test7", "Test7", "Test7", "Test7"}, "", R::Linear, 0, 1, 0, Test<6>},
    {"test8", {"Test8", "Test8", "Test8", "Test8"}, "", R::Linear, 0, 1, 0, Test<7>},
    {"advance1_deg", {"Advance 1", "Vorzündung 1", "Avance 1", "Předstih 1"}, "°", R::Linear, 100,
     1, 0, RQ_FIELD(advance1Raw)},
    {"advance2_deg", {"Advance 2", "Vorzündung 2", "Avance 2", "Předstih 2"}, "°", R::Linear, 100,
     1, 0, RQ_FIELD(advance2Raw)},
    {"pickup_check1", {"Pick-up check 1", "Geberprüfung 1", "Contrôle capteur 1", "Kontrola snímače 1"},
     "", R::Linear, 0, 1, 0, Check<0>},
    {"pickup_check2", {"Pick-up check 2", "Geberprüfung 2", "Contrôle capteur 2", "Kontrola snímače 2"},
     "", R::Linear, 0, 1, 0, Check<1>},
    {"pickup_check3", {"Pick-up check 3", "Geberprüfung 3", "Contrôle capteur 3", "Kontrola snímače 3"},
     "", R::Linear, 0, 1, 0, Check<2>},
    {"pickup_check4", {"Pick-up check 4", "Geberprüfung 4", "Contrôle capteur 4", "Kontrola snímače 4"},
     "", R::Linear, 0, 1, 0, Check<3>},
    {"pickup1_signal", {"Pick-up 1 signal", "Geber 1 Signal", "Signal capteur 1", "Signál snímače 1"},
     "", R::Flag, 0, 1, 0, Signal<0>},
    {"pickup2_signal", {"Pick-up 2 signal", "Geber 2 Signal", "Signal capteur 2", "Signál snímače 2"},
     "", R::Flag, 0, 1, 0, Signal<1>},
    {"start_limiter_activated", {"Start limiter activated", "Startbegrenzer aktiviert",
                                 "Limiteur de départ activé", "Startovací omezovač aktivován"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(startLimiterActivated)},
    {"start_soft_limiter", {"Start soft limiter", "Startsoftbegrenzer", "Limiteur de départ doux",
                            "Startovací měkký omezovač"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(startSoftLimiter)},
    {"start_limiter", {"Start limiter", "Startbegrenzer", "Limiteur de départ", "Startovací omezovač"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(startHardLimiter)},
    {"soft_limiter", {"Soft limiter", "Softbegrenzer", "Limiteur doux", "Měkký omezovač"}, "",
     R::Flag, 0, 1, 0, RQ_FIELD(softLimiter)},
    {"limiter", {"Limiter", "Begrenzer", "Limiteur", "Omezovač"}, "", R::Flag, 0, 1, 0,
     RQ_FIELD(hardLimiter)},
    {"input1_active", {"Input 1", "Eingang 1", "Entrée 1", "Vstup 1"}, "", R::ActiveLow, 0, 1, 0,
     Input<0>},
    {"input2_active", {"Input 2", "Eingang 2", "Entrée 2", "Vstup 2"}, "", R::ActiveLow, 0, 1, 0,
     Input<1>},
    {"input3_active", {"Input 3", "Eingang 3", "Entrée 3", "Vstup 3"}, "", R::ActiveLow, 0, 1, 0,
     Input<2>},
    {"motor_off", {"Motor off", "Motor aus", "Blocage", "Blokování"}, "", R::Flag, 0, 1, 0,
     RQ_FIELD(motorOff)},
    {"clutch_master", {"Clutch master", "Schaltautomat", "Clutch master", "Clutch master"}, "",
     R::Flag, 0, 1, 0, RQ_FIELD(clutchMaster)},
    {"retard", {"Retard", "Spätzündung", "Retard d'allumage", "Snížení předstihu"}, "", R::Flag, 0,
     1, 0, RQ_FIELD(retard)},
    {"second_map", {"2nd advance map", "2. Vorzündungsmappe", "2e carte d'avance",
                    "2. mapa předstihu"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(secondMap)},
    {"servo_ok", {"Servo OK", "Servo OK", "Servo OK", "Servo v pořádku"}, "", R::Flag, 0, 1, 0,
     RQ_FIELD(servoOk)},
    {"throttle_sensor_fault", {"Throttle sensor fault", "Drosselklappensensor Fehler",
                               "Défaut capteur de papillon", "Porucha snímače plynu"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(throttleFault)},
    {"power_out1", {"Power output 1", "Leistungsausgang 1", "Sortie de puissance 1",
                    "Výkonový výstup 1"},
     "", R::Flag, 0, 1, 0, PowerOut<0>},
    {"power_out2", {"Power output 2", "Leistungsausgang 2", "Sortie de puissance 2",
                    "Výkonový výstup 2"},
     "", R::Flag, 0, 1, 0, PowerOut<1>},
    {"power_out3", {"Power output 3", "Leistungsausgang 3", "Sortie de puissance 3",
                    "Výkonový výstup 3"},
     "", R::Flag, 0, 1, 0, PowerOut<2>},
    {"power_out4", {"Power output 4", "Leistungsausgang 4", "Sortie de puissance 4",
                    "Výkonový výstup 4"},
     "", R::Flag, 0, 1, 0, PowerOut<3>},
    {"gear", {"Gear", "Gang", "Rapport", "Rychlostní stupeň"}, "", R::Linear, 0, 1, 0,
     RQ_FIELD(gear)},
    {"programmed_data_error", {"Programmed data error", "Fehler in programmierten Daten",
                               "Erreur des données programmées", "Chyba naprogramovaných dat"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(dataError)},
    {"base_advance", {"Base advance", "Basis Vorzündung", "Avance de base", "Základní předstih"},
     "", R::Flag, 0, 1, 0, RQ_FIELD(baseAdvance)},
    {"unit_image_version", {"Unit image version", "Datenversion der Zündung",
                            "Version des données du boîtier", "Verze dat zapalování"},
     "", R::Linear, 0, 1, 0, RQ_FIELD(version)},
};

#undef RQ_FIELD

}  // namespace

std::span<const Channel> Channels() { return kChannels; }

const Channel* FindChannel(std::string_view key) {
  for (const Channel& c : kChannels) {
    if (c.key == key) return &c;
  }
  return nullptr;
}

std::string_view ChannelName(const Channel& c, int language) {
  return c.name[language >= 0 && language < 4 ? static_cast<std::size_t>(language) : 0];
}

std::int32_t ChannelRaw(const Channel& c, const MonitorSnapshot& s) { return c.raw(s); }

std::int64_t ChannelInteger(const Channel& c, const MonitorSnapshot& s) {
  const std::int64_t raw = c.raw(s);
  switch (c.read) {
    case ChannelRead::Flag: return raw != 0 ? 1 : 0;
    case ChannelRead::ActiveLow: return raw == 0 ? 1 : 0;
    case ChannelRead::PotCounts: return raw * 5000 / 1023;
    case ChannelRead::Linear: break;
  }
  return raw - c.offset;
}

double ChannelValue(const Channel& c, const MonitorSnapshot& s) {
  return static_cast<double>(ChannelInteger(c, s)) / static_cast<double>(c.divisor);
}

std::string ChannelText(const Channel& c, const MonitorSnapshot& s) {
  char buf[32];
  std::to_chars_result r{};
  if (c.decimals == 0 && c.divisor == 1) {
    r = std::to_chars(buf, buf + sizeof buf, ChannelInteger(c, s));
  } else {
    r = std::to_chars(buf, buf + sizeof buf, ChannelValue(c, s), std::chars_format::fixed,
                      c.decimals);
  }
  return std::string(buf, r.ptr);
}

std::string MonitorCsvHeader() {
  std::string h = "time";
  for (const Channel& c : kChannels) {
    h += ',';
    h += c.key;
  }
  return h;
}

std::string MonitorCsvValues(const MonitorSnapshot& s) {
  std::string line;
  line.reserve(256);
  for (const Channel& c : kChannels) {
    if (!line.empty()) line += ',';
    line += ChannelText(c, s);
  }
  return line;
}

}  // namespace rq
