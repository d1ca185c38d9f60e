"""Where a point of an NC program is drawn: through the programmable mirror, the scaling and the rotation in
force, then the local shift and the work offset of the system in force, into the coordinates of G54, in which
the whole drawing is made. Polar coordinates come before all of these and are left to the reader of the words.
"""
import collections
import math

# The plane's two axes and its normal as a right-handed triple: seen from the plus end of the normal, G03 turns
# counter-clockwise from the first axis toward the second in every plane, and so does a positive G68 angle.
PLANES = {17: (0, 1, 2), 18: (2, 0, 1), 19: (1, 2, 0)}
# Under unequal scaling factors an arc takes the size of the factor of X (of Y in G19).
ARC_SIZE_AXIS = {17: 0, 18: 0, 19: 1}
EXTERNAL, G54 = 0, 1  # systems: 0 the external offset, 1-6 G54-G59, 7-54 G54.1 P1-P48
# Work offset variables: the first, the last and the system of the first; each system has 20 axes.
OFFSET_VARIABLES = ((5201, 5326, EXTERNAL), (7001, 7956, 7))


def offset_place(number):
    """(system, axis) of a work offset variable, None for any other variable."""
    for first, last, system in OFFSET_VARIABLES:
        if first <= number <= last:
            return system + (number - first) // 20, (number - first) % 20
    return None


def rotated(point, plane, centre, degrees):
    u, v, _ = PLANES[plane]
    cos, sin = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    du, dv = point[u] - centre[u], point[v] - centre[v]
    turned = list(point)
    turned[u], turned[v] = centre[u] + du * cos - dv * sin, centre[v] + du * sin + dv * cos
    return turned


class Frame:
    """The work offsets, the system in force, the local shift and the transforms, and the points they give."""

    def __init__(self):
        self.offsets = collections.defaultdict(float)  # (system, axis): mm
        self.system = G54
        self.shift = [0.0] * 3
        self.mirror = [None] * 3  # per axis the coordinate mirrored about
        self.scaling = None  # centre, factors
        self.rotation = None  # plane, centre, degrees

    def offset(self, system):
        return [self.offsets[system, axis] + self.offsets[EXTERNAL, axis] for axis in range(3)]

    def machine_zero(self):
        """Where machine 0 is drawn: minus the offset of G54."""
        return [-value for value in self.offset(G54)]

    def transformed(self, point, stages=3):
        """The point through the first stages of mirror, scaling and rotation."""
        point = [x if m is None else 2 * m - x for x, m in zip(point, self.mirror)]
        if stages > 1 and self.scaling:
            centre, factors = self.scaling
            point = [c + f * (x - c) for x, c, f in zip(point, centre, factors)]
        if stages > 2 and self.rotation:
            point = rotated(point, *self.rotation)
        return point

    def drawn(self, point):
        here, frame = self.offset(self.system), self.offset(G54)
        return [x + s + h - f for x, s, h, f in zip(self.transformed(point), self.shift, here, frame)]

    def program(self, drawn):
        """The program point that is drawn at drawn: the transforms undone in reverse order."""
        here, frame = self.offset(self.system), self.offset(G54)
        point = [x - s - h + f for x, s, h, f in zip(drawn, self.shift, here, frame)]
        if self.rotation:
            plane, centre, degrees = self.rotation
            point = rotated(point, plane, centre, -degrees)
        if self.scaling:
            centre, factors = self.scaling
            point = [c + (x - c) / f if f else c for x, c, f in zip(point, centre, factors)]
        return [x if m is None else 2 * m - x for x, m in zip(point, self.mirror)]

    def set_scaling(self, centre, factors):
        """A centre in program coordinates passes through the mirror before it."""
        self.scaling = self.transformed(centre, 1), factors

    def set_rotation(self, plane, centre, degrees):
        self.rotation = plane, self.transformed(centre, 2), degrees

    def arc_size(self, plane):
        """How an arc of the plane is drawn: its radius factor, the sign of each axis, and whether it turns the
        other way (mirrored in one of the plane's axes)."""
        signs = [-1.0 if m is not None else 1.0 for m in self.mirror]
        size = 1.0
        if self.scaling:
            factors = self.scaling[1]
            size = abs(factors[ARC_SIZE_AXIS[plane]])
            signs = [s * math.copysign(1.0, f) for s, f in zip(signs, factors)]
        u, v, _ = PLANES[plane]
        return size, signs, signs[u] * signs[v] < 0

    def arc_offset(self, plane, du, dv):
        """The offset from an arc's start to its centre as drawn, in the plane's two axes; a rotation in another
        plane would tilt the arc out of its plane and is not followed."""
        size, signs, _ = self.arc_size(plane)
        u, v, _ = PLANES[plane]
        vector = [0.0] * 3
        vector[u], vector[v] = du * size * signs[u], dv * size * signs[v]
        if self.rotation and self.rotation[0] == plane:
            vector = rotated(vector, plane, [0.0] * 3, self.rotation[2])
        return vector[u], vector[v]
