/* Debounced push-button reader for a board with four keys on one port. */
#include <stdint.h>
#include <stdbool.h>

#define KEY_COUNT 4u
#define DEBOUNCE_TICKS 5u

typedef struct {
  uint8_t stable;
  uint8_t counter;
} key_state_t;

static key_state_t keys[KEY_COUNT];
static volatile uint32_t *const key_port = (volatile uint32_t *)0x40020010u;

static bool raw_level(unsigned index) {
  return ((*key_port >> index) & 1u) != 0u;
}

/* Called from the 1 ms tick; returns a bit mask of keys that went down. */
uint32_t keys_poll(void) {
  uint32_t pressed = 0u;
  for (unsigned i = 0u; i < KEY_COUNT; ++i) {
    const bool level = raw_level(i);
    if (level == (keys[i].stable != 0u)) {
      keys[i].counter = 0u;
      continue;
    }
    if (++keys[i].counter >= DEBOUNCE_TICKS) {
      keys[i].stable = level ? 1u : 0u;
      keys[i].counter = 0u;
      if (level) pressed |= 1u << i;
    }
  }
  return pressed;
}

bool key_is_down(unsigned index) {
  return index < KEY_COUNT && keys[index].stable != 0u;
}
