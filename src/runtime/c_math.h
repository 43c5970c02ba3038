#ifndef G3GEOM_RUNTIME_C_MATH_H
#define G3GEOM_RUNTIME_C_MATH_H

#include "runtime/g_export.h"

// Trigonometry in degrees.
G_API double CmathSin(double a);
G_API double CmathCos(double a);
G_API double CmathTan(double a);
G_API double CmathAsin(double s);
G_API double CmathAcos(double c);
G_API double CmathAtan(double t);
G_API double CmathAtan2(double y, double x);
G_API void CmathSinCos(double a, double* s, double* c);
// An unsigned pseudo-random integer (the C library's rand()).
G_API unsigned int CmathIntRand();

#endif
