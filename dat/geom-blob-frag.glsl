// Soft-body strings: a warm tint over the colour the geometry stage gave.
#version 120

void main()
{
    gl_FragColor = vec4(gl_Color.rgb * vec3(1.0, 0.85, 0.8), gl_Color.a);
}
