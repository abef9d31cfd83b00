// SPDX-License-Identifier: GPL-3.0-or-later
//
// A run described as one value: the water's composition, its conditions, the titrant and
// its step, the target with its direction, and what to record. The form fills one from
// its grids; the run, the analysis and the one-point solve take nothing else. A new
// feature of a run is a new field here with a default that leaves every run as it was.
#pragma once

#include "run_constants.h"
#include "water_state.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace phbuffer::model {

/// How a step's pKa moves with temperature; every form is zero at 25 °C.
struct TemperatureDependence {
    enum class Form {
        None,     ///< the pKa holds at every temperature
        Analytic, ///< sign x (f(T) - f(298.15 K)), f(T) = a2 T + a3/T + a4 log10 T + a5/T^2 + a6
                  ///< T^2
        VantHoff, ///< dH / (R ln 10) x (1/T - 1/298.15 K)
    };
    Form form = Form::None;
    double sign = 1;                      ///< of an analytic shift
    std::array<double, 5> coefficients{}; ///< a2 to a6 of an analytic shift
    double enthalpy = 0;                  ///< dH of a van 't Hoff shift [kJ/mol]
};

/// One buffer system: a row of the grid with what the grid does not show.
struct BufferSystem {
    std::string name;
    double concentration = 0; ///< total [mol/L]
    /// pKa of each step at 25 °C; empty where the system has no such step.
    std::array<std::optional<double>, 3> pKa;
    /// The charge of the fully protonated form; each step releases one proton and one
    /// unit of charge.
    int acidCharge = 0;
    std::array<TemperatureDependence, 3> temperatureDependence{};
    /// Names of the forms from the fully protonated one on; empty to name them from the
    /// charge (HA, A-).
    std::array<std::string, 4> speciesNames;
};

/// The water's conditions. The defaults are the ideal water at 25 °C.
struct Conditions {
    double temperature = 25;  ///< [°C]
    double ionicStrength = 0; ///< [mol/L]; 0 is the ideal water
    bool isIdeal25() const { return temperature == 25 && ionicStrength == 0; }
};

enum class Titrant {
    StrongAcid, ///< H+ added: the pH falls to a lower target
    StrongBase, ///< OH- added: the pH rises to an upper target
};

/// Which way a run moves the pH, and so which side of a target ends it.
enum class Direction {
    Falling, ///< ends at the first pH below the target
    Rising,  ///< ends at the first pH above the target
};

/// What a run keeps besides its start and final points.
struct Recording {
    /// A point whenever the pH has moved by more than this since the last point.
    double pHInterval = 0.01;
    /// pH values whose first crossing the run reports (see PhCrossing).
    std::vector<double> watchedPh;
};

struct RunDescription {
    std::array<BufferSystem, kBufferSystemCount> systems;
    Conditions conditions;
    double initialPh = 0;
    Titrant titrant = Titrant::StrongAcid;
    double step = kTitrantStep; ///< titrant per step [mol/L]
    double targetPh = 0;
    Recording recording;

    Direction direction() const {
        return titrant == Titrant::StrongAcid ? Direction::Falling : Direction::Rising;
    }
};

/// The constants of a run, as every step uses them.
struct RunConstants {
    double Kw = 0;                  ///< ion product of water [(mol/L)^2], in concentrations
    SlotValues Ka1{}, Ka2{}, Ka3{}; ///< dissociation constants [mol/L]; 0 = no such step
    /// log10 of the activity coefficient of H+: a pH meter reads -log10(gamma [H+]), so
    /// the pH a run works in is the pH read plus this.
    double log10GammaH = 0;
};

/// The pKa values of @p system's steps in use under @p conditions, as conditional
/// constants in concentrations; 0 for a step it does not have.
std::array<double, 3> pKaValues(const BufferSystem& system, const Conditions& conditions);

/// The dissociation constants of @p system's three steps under @p conditions [mol/L]; 0
/// for a step it does not have. Throws as runConstants does.
std::array<double, 3> dissociationConstants(const BufferSystem& system,
                                            const Conditions& conditions);

/// The constants of the run that @p description describes, at its temperature and ionic strength;
/// at 25 °C and ionic strength 0 Kw is 1e-14 and each Ka 10^-pKa, as they always were.
/// Throws std::invalid_argument for a temperature outside 0 to 100 °C or an ionic
/// strength outside 0 to 1 mol/L.
RunConstants runConstants(const RunDescription& description);

/// Writes the composition and targets of @p description into @p state as the grids give them:
/// mol/L concentrations, the constants of runConstants, the initial pH and, for an acid
/// run, the lower target. Leaves every other field alone.
void loadRunDescription(const RunDescription& description, WaterState& state);
/// The same with the constants @p constants, already computed for @p description.
void loadRunDescription(const RunDescription& description, const RunConstants& constants,
                        WaterState& state);

/// A state that holds the water of @p description as a run starts from it: its names, its
/// composition and constants, the initial pH and the target.
WaterState waterOf(const RunDescription& description);

/// The catalogue's buffer system of slot @p slot (0 to 8), without a concentration.
BufferSystem catalogueSystem(int slot);

/// The names of the forms of @p system, from the fully protonated one on; as many as it
/// has steps plus one, at most four.
std::vector<std::string> speciesNames(const BufferSystem& system);

} // namespace phbuffer::model
