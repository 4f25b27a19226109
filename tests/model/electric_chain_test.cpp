// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/electric_chain.h"

#include <cmath>
#include <limits>

namespace ampvane {

TEST(ElectricChain, CircuitFormulasObeyKirchhoffForEveryTopology) {
    // 6 cells × 2 strings, 2 speed controls, 4 branches of 2 motors, geared 3:1.
    const int Sc = 6, Pc = 2, Ne = 2, Pm = 4, Sm = 2;
    const double G = 3, N = 1000, Re = 0.01, Rc = 0.02, V = 1.2, R = 0.1, Kv = 1500;
    const double I = MotorCurrentInCircuit(Sc, Pc, Ne, Pm, Sm, G, N, Re, Rc, V, R, Kv, 0.9);
    const double Vm = MotorVoltageInCircuit(Sc, Pc, Ne, Pm, Sm, G, N, Re, Rc, V, R, Kv, 0.9);
    const double total = Pm * I;
    // Battery EMF less the drop in the pack and in the speed controls is the voltage of one branch.
    EXPECT_NEAR(Sc * V - total * (Sc * Rc / Pc) - total * (Re / Ne), Sm * Vm, 1e-12);
    // Each motor's terminal voltage is its resistive drop plus its back EMF.
    EXPECT_NEAR(Vm, I * R + G * N / Kv, 1e-12);
    EXPECT_GT(I, 0);
}

TEST(ElectricChain, SingleMotorAtRest) {
    const double Rt = CircuitResistance(1, 1, 1, 1, 1, 0.01, 0.02, 0.1);
    EXPECT_NEAR(Rt, 0.13, 1e-15);
    EXPECT_NEAR(MotorVoltageInCircuit(1, 1, 1, 1, 1, 1, 0, 0.01, 0.02, 1.2, 0.1, 1000, 1), 1.2 * 0.1 / Rt, 1e-12);
    // A circuit without any resistance has no current rather than an infinite one.
    EXPECT_EQ(MotorCurrentInCircuit(1, 1, 1, 1, 1, 1, 0, 0, 0, 1.2, 0, 1000, 1), 0);
    EXPECT_EQ(MotorVoltageInCircuit(1, 1, 1, 1, 1, 1, 0, 0, 0, 1.2, 0, 1000, 1), 0);
}

TEST(MotorCharacteristics, EfficiencyAndPowerPoints) {
    EXPECT_NEAR(MaxEfficiencyCurrent(10, 0.1, 2), std::sqrt(200.0), 1e-12);
    // The best efficiency is a maximum: a little more or less current does worse.
    EXPECT_GT(MaxEfficiency(10, 0.1, 2), MotorEfficiency(10, 13, 0.1, 2));
    EXPECT_GT(MaxEfficiency(10, 0.1, 2), MotorEfficiency(10, 15.5, 0.1, 2));
    EXPECT_EQ(MotorEfficiency(0, 0, 0.1, 2), 0);
    EXPECT_EQ(MaxEfficiencyCurrent(10, 0, 2), 0);
    EXPECT_EQ(MaxPowerCurrent(10, 0, 2), 0);
    // 20 A through 0.1 Ohm leaves 8 V of back EMF at 1000 rpm/V.
    EXPECT_DOUBLE_EQ(MotorRpm(10, 20, 0.1, 1000), 8000);
}

TEST(MotorHeating, TemperatureFromLossAndWeight) {
    // 20 A at 10 V through 0.1 Ohm with 2 A idle: 56 W of loss in an 8 oz motor.
    EXPECT_NEAR(MotorTemperature(20, 10, 20, 8, 0.1, 2, 1000, 3.8), 73.2, 0.05);
    // A motor or pack of no weight carries no heating term whatever its loss.
    EXPECT_EQ(MotorTemperature(25, 10, 20, 0, 0.1, 2, 1000, 3.8), 25);
    EXPECT_EQ(MotorTemperature(25, 10, 20, -3, 0.1, 2, 1000, 3.8), 25);
    EXPECT_EQ(PackTemperature(20, 0, 0.05, 10), 20);
    // 10 A through a 0.05 Ohm string of 8 oz: 5 W at 58 / 8^(2/3) °C per W.
    EXPECT_NEAR(PackTemperature(20, 8, 0.05, 10), 92.5, 0.01);
}

TEST(MotorHeating, HotResistanceSettlesOrStopsAt1000Degrees) {
    const double Rm = 0.1;
    const double R = HotResistance(20, 10, 20, 8, Rm, 2, 1000, 3.8);
    // Settled: the resistance at the temperature it gives is within the 1 % step of itself.
    const double T = MotorTemperature(20, 10, 20, 8, R, 2, 1000, 3.8);
    EXPECT_GT(R, Rm);
    EXPECT_NEAR(ResistanceAt(Rm, T) / R, 1, 0.01);
    // Without weight: the resistance at the air temperature.
    EXPECT_DOUBLE_EQ(HotResistance(30, 10, 20, 0, Rm, 2, 1000, 3.8), ResistanceAt(Rm, 30));
    // A loss that would heat a tiny motor beyond 1000 °C keeps the air-temperature resistance.
    ASSERT_GT(MotorTemperature(20, 10, 20, 0.01, ResistanceAt(Rm, 20), 2, 1000, 3.8), 1000);
    EXPECT_DOUBLE_EQ(HotResistance(20, 10, 20, 0.01, Rm, 2, 1000, 3.8), ResistanceAt(Rm, 20));
}

TEST(Battery, CurrentAndRunTime) {
    EXPECT_EQ(BatteryCurrent(30, 0.5, false), 30);
    EXPECT_EQ(BatteryCurrent(30, 0.5, true), 15);
    EXPECT_EQ(RunTimeSeconds(2, 2000, 20), 720);
    EXPECT_EQ(RunTimeSeconds(1, 3.5, 3.6), 4); // 3.5 goes to the even integer
    // A pack that is never drawn never empties.
    EXPECT_EQ(RunTimeSeconds(1, 2000, 0), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RunTimeSeconds(1, 2000, std::nan("")), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RunTimeSeconds(1, 2000, 1e-300), std::numeric_limits<std::int32_t>::max());
}

} // namespace ampvane
