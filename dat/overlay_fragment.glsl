// Overlay blend of the layer image over the picture: dark parts of the picture are
// multiplied, light parts screened, so its contrast takes the layer's colours.
#version 120

uniform sampler2D tex0;
uniform sampler2D tex1;

void main()
{
    vec4 picture = texture2D(tex0, gl_TexCoord[0].st);
    vec4 layer = texture2D(tex1, gl_TexCoord[1].st);
    vec3 base = picture.rgb;
    vec3 multiplied = 2.0 * base * layer.rgb;
    vec3 screened = vec3(1.0) - 2.0 * (vec3(1.0) - base) * (vec3(1.0) - layer.rgb);
    vec3 blended = mix(multiplied, screened, step(0.5, base));
    gl_FragColor = vec4(mix(base, blended, layer.a), picture.a);
}
