// The math library's exported constants and the Newton tolerance epsilon.
#include "quorel_math.h"

extern "C" {

const double _ln2 = 0.69314718055994529;
const double _log2e = 1.4426950408889634;
const double _pi = 3.1415926535897931;
const double _pi_2 = 1.5707963267948966;
const double _pi_4 = 0.78539816339744828;
const double _2_pi = 0.63661977236758138;
double epsilon = 1e-10;

const float _qnan = -__builtin_nanf("");  // 0xFFC00000
const float _snan = __builtin_nanf("");   // 0x7FC00000, quiet despite the name
const float _infp = __builtin_inff();     // 0x7F800000
const float _infn = -__builtin_inff();    // 0xFF800000
const float _zero = 0.0f;
const float _half = 0.5f;
const float _one = 1.0f;
const float _two = 2.0f;
const float _eight = 8.0f;

}
