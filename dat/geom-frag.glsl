// Particle lines: the colour the geometry stage gave, brightened a little so the
// very faint strands still read.
#version 120

void main()
{
    gl_FragColor = vec4(min(gl_Color.rgb * 1.2, vec3(1.0)), gl_Color.a);
}
