#include "effect/FactoryPrograms.h"

#include "framework/IEffectBase.h"

const FactoryProgram kFactoryPrograms[kFactoryProgramCount] = {
    // name                  Split Damp LDrv LGain LRnd HDrv HGain HRnd Mix
    {"Electro Drum", {999, 82, 20, 30, 50, 70, 22, 12, 90}},
    {"Electro Drum 2", {1188, 85, 20, 30, 50, 70, 22, 12, 100}},
    {"Drum Overdrive High", {2000, 69, 30, 20, 50, 70, 22, 12, 100}},
    {"Drum Mangler Mid", {2000, 16, 30, 20, 50, 60, 22, 12, 90}},
    {"Drum Reso", {2500, 79, 30, 20, 50, 70, 22, 12, 90}},
    {"HiHat Cool", {1818, 79, 30, 20, 50, 70, 22, 12, 100}},
    {"Drum", {1000, 79, 20, 60, 50, 70, 22, 12, 90}},
    {"Kick", {3000, 50, 60, 40, 31, 50, 10, 50, 90}},
    {"Guitar", {1000, 23, 50, 10, 50, 85, 10, 24, 100}},
    {"Guitar More Drive", {1000, 23, 50, 10, 8, 90, 30, 24, 100}},
    {"Guitar More Drive 2", {1000, 69, 80, 10, 12, 80, 30, 12, 100}},
    {"Bass Guitar", {2000, 30, 80, 20, 12, 50, 10, 50, 100}},
    {"Lead", {1000, 50, 50, 20, 50, 50, 20, 16, 80}},
};

void InstallFactoryPrograms(IEffectBase& effect) {
  effect.FillDefaultPresets(kDefaultProgramName, 1);
  for (const FactoryProgram& program : kFactoryPrograms) {
    const int32_t* v = program.values;
    // All nine parameters are Integer ones, which take 32-bit integers here.
    effect.AddPresetFromValues(program.name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  }
}
