// The one part of the locale that comes from the environment.
#pragma once

// Sets the whole locale to "C", then takes the character type (LC_CTYPE)
// from the environment when the environment's locale is a UTF-8 one, so
// that texts and keys are read as UTF-8 there. A UTF-8 locale the system
// does not have (say en_US.UTF-8 that was never generated) gets "C.UTF-8"
// instead. Any other environment keeps "C": every byte outside printable
// ASCII is then one "?" on the screen, and keys are taken as bytes.
void choose_character_type();
