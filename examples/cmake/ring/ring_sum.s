@ uint32_t ring_sum(const uint8_t* samples, unsigned count)
  .syntax unified
  .thumb
  .text
  .global ring_sum
  .type ring_sum, %function
  .thumb_func
ring_sum:
  movs r2, #0
  cmp r1, #0
  beq 2f
1:
  ldrb r3, [r0]
  adds r0, r0, #1
  adds r2, r2, r3
  subs r1, r1, #1
  bne 1b
2:
  mov r0, r2
  bx lr
  .size ring_sum, . - ring_sum
