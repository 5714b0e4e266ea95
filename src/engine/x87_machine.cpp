#include "engine/x87_machine.h"

#if defined(__x86_64__) && defined(ORMEL_X87_MACHINE)

// Why assembly: a compiled C++ loop cannot keep values in x87 registers from one operation to the
// next (a switch makes the compiler shuffle the register stack at every step, computed gotos make
// it spill everything to memory), and loading an 80-bit value from memory costs several cycles.
// Here each handler is the x87 instruction itself, followed by a jump to the next handler
// (direct threading): values stay in registers and each step costs about one jump.
//
// While code runs, rbx points at the current instruction { handler, argument } and the stack's top
// holds the address of the caller's routineThrew flag. Only kCall calls out, with an empty x87
// stack as the calling convention requires.

extern "C" {
extern const void* const ormel_x87_handlers[];

// Exceptions must not unwind through the handlers; the caller reruns the steps one by one, and
// the routine throws again there.
[[gnu::used, gnu::visibility("hidden")]] bool ormel_x87_call_step(ormel::TEvalStep* step) noexcept {
  try {
    step->routine(*step);
    return true;
  } catch (...) {
    return false;
  }
}
}

asm(R"asm(
  .pushsection .text
  .p2align 4
  .globl ormel_x87_run
  .hidden ormel_x87_run
  .type ormel_x87_run, @function
ormel_x87_run:
  .cfi_startproc
  push %rbx
  .cfi_adjust_cfa_offset 8
  .cfi_offset %rbx, -16
  sub $16, %rsp
  .cfi_adjust_cfa_offset 16
  mov %rdi, %rbx
  mov %rsi, (%rsp)
  jmp *(%rbx)

.macro ORMEL_X87_RETURN
  .cfi_remember_state
  add $16, %rsp
  .cfi_adjust_cfa_offset -16
  pop %rbx
  .cfi_adjust_cfa_offset -8
  ret
  .cfi_restore_state
.endm

.macro ORMEL_X87_NEXT
  add $16, %rbx
  jmp *(%rbx)
.endm

ormel_x87_load:
  mov 8(%rbx), %rax
  fldt (%rax)
  ORMEL_X87_NEXT

.irp i,0,1,2,3,4,5,6
ormel_x87_copy\i:
  fld %st(\i)
  ORMEL_X87_NEXT
.endr

# After fldt the cell is st(0) and acc st(1); with operands %st, %st(1) the assembler's fsubp
# computes st(0) - st(1) and fsubrp st(1) - st(0) (likewise for division).
.macro ORMEL_X87_WITH_CELL name, pop
ormel_x87_cell_\name:
  mov 8(%rbx), %rax
  fldt (%rax)
  \pop %st, %st(1)
  ORMEL_X87_NEXT
.endm
ORMEL_X87_WITH_CELL add, faddp
ORMEL_X87_WITH_CELL subtract, fsubrp
ORMEL_X87_WITH_CELL subtract_from, fsubp
ORMEL_X87_WITH_CELL multiply, fmulp
ORMEL_X87_WITH_CELL divide, fdivrp
ORMEL_X87_WITH_CELL divide_into, fdivp

.macro ORMEL_X87_WITH_BELOW name, pop
ormel_x87_below_\name:
  \pop %st, %st(1)
  ORMEL_X87_NEXT
.endm
ORMEL_X87_WITH_BELOW add, faddp
ORMEL_X87_WITH_BELOW subtract, fsubp
ORMEL_X87_WITH_BELOW subtract_from, fsubrp
ORMEL_X87_WITH_BELOW multiply, fmulp
ORMEL_X87_WITH_BELOW divide, fdivp
ORMEL_X87_WITH_BELOW divide_into, fdivrp

.macro ORMEL_X87_WITH_REGISTERS name, op
.irp i,1,2,3,4,5,6,7
ormel_x87_\name\()_st\i:
  \op %st(\i), %st
  ORMEL_X87_NEXT
.endr
.endm
ORMEL_X87_WITH_REGISTERS add, fadd
ORMEL_X87_WITH_REGISTERS subtract, fsub
ORMEL_X87_WITH_REGISTERS subtract_from, fsubr
ORMEL_X87_WITH_REGISTERS multiply, fmul
ORMEL_X87_WITH_REGISTERS divide, fdiv
ORMEL_X87_WITH_REGISTERS divide_into, fdivr

# A run of the same operation (X+X+X..., X*X*X...) as one counted loop.
.macro ORMEL_X87_REPEAT_WITH_REGISTERS name, op
.irp i,1,2,3,4,5,6,7
ormel_x87_repeat_\name\()_st\i:
  mov 8(%rbx), %rcx
1:
  \op %st(\i), %st
  dec %rcx
  jnz 1b
  ORMEL_X87_NEXT
.endr
.endm
ORMEL_X87_REPEAT_WITH_REGISTERS add, fadd
ORMEL_X87_REPEAT_WITH_REGISTERS subtract, fsub
ORMEL_X87_REPEAT_WITH_REGISTERS subtract_from, fsubr
ORMEL_X87_REPEAT_WITH_REGISTERS multiply, fmul
ORMEL_X87_REPEAT_WITH_REGISTERS divide, fdiv
ORMEL_X87_REPEAT_WITH_REGISTERS divide_into, fdivr

ormel_x87_negate:
  fchs
  ORMEL_X87_NEXT
ormel_x87_square:
  fmul %st(0), %st
  ORMEL_X87_NEXT
ormel_x87_cube:
  fld %st(0)
  fmul %st(0), %st
  fmulp %st, %st(1)
  ORMEL_X87_NEXT
ormel_x87_fourth:
  fmul %st(0), %st
  fmul %st(0), %st
  ORMEL_X87_NEXT

ormel_x87_store:
  mov 8(%rbx), %rax
  fstpt (%rax)
  ORMEL_X87_NEXT
ormel_x87_pop:
  fstp %st(0)
  ORMEL_X87_NEXT

ormel_x87_call:
  mov 8(%rbx), %rdi
  call ormel_x87_call_step
  test %al, %al
  jz ormel_x87_threw
  ORMEL_X87_NEXT
ormel_x87_threw:
  mov (%rsp), %rax
  movb $1, (%rax)
  fldz
  ORMEL_X87_RETURN

.irp k,0,1,2,3,4,5,6
ormel_x87_end\k:
  .rept \k
  fstp %st(1)
  .endr
  ORMEL_X87_RETURN
.endr
  .cfi_endproc
  .size ormel_x87_run, .-ormel_x87_run

  .section .data.rel.ro, "aw"
  .p2align 3
  .globl ormel_x87_handlers
  .hidden ormel_x87_handlers
  .type ormel_x87_handlers, @object
ormel_x87_handlers:
  .quad ormel_x87_load
.irp i,0,1,2,3,4,5,6
  .quad ormel_x87_copy\i
.endr
.irp name,add,subtract,subtract_from,multiply,divide,divide_into
  .quad ormel_x87_cell_\name
.endr
.irp name,add,subtract,subtract_from,multiply,divide,divide_into
  .quad ormel_x87_below_\name
.endr
.irp name,add,subtract,subtract_from,multiply,divide,divide_into
.irp i,1,2,3,4,5,6,7
  .quad ormel_x87_\name\()_st\i
.endr
.endr
.irp name,add,subtract,subtract_from,multiply,divide,divide_into
.irp i,1,2,3,4,5,6,7
  .quad ormel_x87_repeat_\name\()_st\i
.endr
.endr
  .quad ormel_x87_negate, ormel_x87_square, ormel_x87_cube, ormel_x87_fourth
  .quad ormel_x87_store, ormel_x87_pop, ormel_x87_call
.irp k,0,1,2,3,4,5,6
  .quad ormel_x87_end\k
.endr
  .size ormel_x87_handlers, .-ormel_x87_handlers
  .popsection
)asm");

namespace ormel::x87 {

const void* handlerOf(Code code) { return ormel_x87_handlers[code]; }

Code codeOf(const void* handler) {
  for (int code = 0; code < kCodeCount; ++code) {
    if (ormel_x87_handlers[code] == handler) return static_cast<Code>(code);
  }
  return kCodeCount;
}

}  // namespace ormel::x87

#else

long double ormel_x87_run(const ormel::x87::Instruction*, bool* routineThrew) {
  *routineThrew = true;
  return 0;
}

namespace ormel::x87 {

const void* handlerOf(Code) { return nullptr; }
Code codeOf(const void*) { return kCodeCount; }

}  // namespace ormel::x87

#endif
