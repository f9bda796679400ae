#!/usr/bin/env python3
"""Writes the sample capacitor models of this folder from R-L-C values: Touchstone files (one-port, series- and
shunt-through two-ports, a four-port of two capacitors), a "pls" file and SPICE subcircuit files. Run it in this
folder to write them again; the output is the same on every run."""
import cmath
import math

Z0 = 50.0
POINTS = 201


def frequencies():
    return [1e4 * 10 ** (i * math.log10(5e9 / 1e4) / (POINTS - 1)) for i in range(POINTS)]


def impedance(f, r, l, c):
    w = 2 * math.pi * f
    return complex(r, w * l - 1.0 / (w * c))


def ri(s):
    return "%.9e %.9e" % (s.real, s.imag)


def one_port(name, r, l, c):
    lines = ["! %s: C = %g F, ESR = %g ohm, ESL = %g H, to ground" % (name, c, r, l), "# Hz S RI R 50"]
    for f in frequencies():
        z = impedance(f, r, l, c)
        lines.append("%.9e %s" % (f, ri((z - Z0) / (z + Z0))))
    return lines


def two_port_s(z, series):
    if series:   # the capacitor between the ports
        s11 = z / (z + 2 * Z0)
        s21 = 2 * Z0 / (2 * Z0 + z)
    else:        # the capacitor from the through line to ground
        s11 = -Z0 / (2 * z + Z0)
        s21 = 2 * z / (2 * z + Z0)
    return s11, s21


def two_port(name, r, l, c, series):
    how = "in series between the ports" if series else "from the through line to ground"
    lines = ["! %s: C = %g F, ESR = %g ohm, ESL = %g H, %s" % (name, c, r, l, how), "# Hz S RI R 50"]
    for f in frequencies():
        s11, s21 = two_port_s(impedance(f, r, l, c), series)
        lines.append("%.9e %s %s %s %s" % (f, ri(s11), ri(s21), ri(s21), ri(s11)))
    return lines


def four_port(name, parts):
    # Two shunt-through capacitors, ports 1-2 and 3-4, not coupled: four lines of four entries per point.
    lines = ["! %s: two capacitors from through lines to ground, ports 1-2 and 3-4" % name]
    for r, l, c in parts:
        lines.append("! C = %g F, ESR = %g ohm, ESL = %g H" % (c, r, l))
    lines.append("# Hz S RI R 50")
    zero = complex(0, 0)
    for f in frequencies():
        (a11, a21), (b11, b21) = (two_port_s(impedance(f, *p), False) for p in parts)
        rows = [[a11, a21, zero, zero], [a21, a11, zero, zero], [zero, zero, b11, b21], [zero, zero, b21, b11]]
        for i, row in enumerate(rows):
            lines.append(("%.9e " % f if i == 0 else "") + " ".join(ri(s) for s in row))
    return lines


def pls(name, r, l, c):
    # The header gives the port count; the body lists the R-L-C as one pole and its residue.
    return ["! %s: C = %g F, ESR = %g ohm, ESL = %g H" % (name, c, r, l), "S 2",
            "! pole residue", "%.9e %.9e" % (-1.0 / (r * c), 1.0 / c)]


def write(name, lines):
    with open(name, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


write("cap_10n_0201.s1p", one_port("cap_10n_0201", 0.08, 1.5e-10, 1e-8))
write("cap_100n_0402.s2p", two_port("cap_100n_0402", 0.03, 3.5e-10, 1e-7, series=False))
write("cap_1u_0603_series.s2p", two_port("cap_1u_0603_series", 0.012, 4.5e-10, 1e-6, series=True))
write("cap_10u_0805_shunt.s2p", two_port("cap_10u_0805_shunt", 0.006, 6e-10, 1e-5, series=False))
write("cap_pair_0402.s4p", four_port("cap_pair_0402", [(0.03, 3.5e-10, 1e-7), (0.02, 3.8e-10, 4.7e-7)]))
write("cap_22u_1206.pls", pls("cap_22u_1206", 0.004, 9e-10, 2.2e-5))


def subcircuit(name, nodes, elements):
    lines = [".SUBCKT %s %s" % (name, " ".join(nodes))]
    lines += elements
    lines.append(".ENDS %s" % name)
    return lines


def rlc(name, r, l, c):
    # A two-terminal capacitor: ESL, ESR and C in series from node 1 to node 2.
    return subcircuit(name, ["1", "2"], ["L1 1 3 %g" % l, "R1 3 4 %g" % r, "C1 4 2 %g" % c])


write("caps.cir", ["* Sample capacitor subcircuits: ESL, ESR and C in series between the two nodes"]
      + rlc("C1U0402", 0.012, 3.8e-10, 1e-6) + rlc("C100N0402", 0.03, 3.5e-10, 1e-7)
      + rlc("C10U0805", 0.006, 6e-10, 1e-5)
      # A three-terminal feed-through capacitor: through path 1-2, capacitor to ground at node 3.
      + subcircuit("C3T1U0603", ["1", "2", "3"],
                   ["L1 1 4 2e-10", "L2 4 2 2e-10", "R1 4 5 0.008", "L3 5 6 1e-10", "C1 6 3 1e-6"]))
write("bulk.sp", ["* Sample bulk capacitor subcircuits"]
      + rlc("T47U1206", 0.08, 1.1e-9, 4.7e-5) + rlc("C22U0805", 0.004, 4.4e-10, 2.2e-5))
