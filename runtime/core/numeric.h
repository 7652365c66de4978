// Numeric built-ins: the seeded random generator, colour packing, sine and cosine.
#pragma once

#include <cstdint>

extern uint32_t RandomState;
extern int32_t RandomSeeded;

float RandomReal(float a, float b);
int32_t RandomInt(int32_t a, int32_t b);
int32_t RandomSeed(int32_t s);
uint32_t RgbPack(int32_t red, int32_t green, int32_t blue);

double CosRad(double angle);
double SinRad(double angle);
float CosRadSingle(float angle);
float SinRadSingle(float angle);
double CosDeg(double angle);
double SinDeg(double angle);
float CosDegSingle(float angle);
float SinDegSingle(float angle);
