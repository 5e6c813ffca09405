// Negative: the picture inverted wherever the layer image is opaque.
#version 120

uniform sampler2D tex0;
uniform sampler2D tex1;

void main()
{
    vec4 picture = texture2D(tex0, gl_TexCoord[0].st);
    vec4 layer = texture2D(tex1, gl_TexCoord[1].st);
    vec3 inverted = vec3(1.0) - picture.rgb;
    gl_FragColor = vec4(mix(picture.rgb, inverted, layer.a), picture.a);
}
